#pragma once

#include <string>
#include <string_view>

#include "text/cp866.h"
#include "text/format.h"

// The console texts of movrek32-check other than its findings, in CP866.
// Patterns are filled by format_message: each %s or %d takes the next
// argument. A finding is printed as "FILE:LINE: error: TEXT" or
// "FILE:LINE: warning: TEXT"; the words error and warning stay English for
// editors and CI parsers.
namespace movrek::check::messages {

inline constexpr auto kUsage = cp866(
    u8"Использование: movrek32-check [-c ФАЙЛ] [-s] [СПИСОК ОТЧЕТ]\n"
    u8"Проверяет, ничего не записывая, конфигурацию movrek32, шаблон newfile.rpt,\n"
    u8"файлы заголовков и концовок и, если они указаны, список новых файлов и\n"
    u8"отчеты, и показывает, в какой отчет попадет каждый файл и чем кончится\n"
    u8"запуск movrek32 с теми же аргументами.\n"
    u8"  -c, --config ФАЙЛ  проверить этот файл конфигурации, а не movrek.cfg\n"
    u8"                     из каталога программы\n"
    u8"  -s, --strict       считать ошибками и предупреждения (но не замечания)\n"
    u8"  -h, --help         показать эту справку\n"
    u8"      --version      показать версию\n"
    u8"  СПИСОК ОТЧЕТ       аргументы movrek32: список новых файлов и основной\n"
    u8"                     отчет; параметры -n и -o movrek32 принимаются тоже\n"
    u8"Коды выхода: 0 - ошибок нет, 1 - найдены ошибки (с -s и предупреждения),\n"
    u8"2 - неверная командная строка.\n");
inline constexpr auto kVersion = cp866(u8"movrek32-check %s\n");
inline constexpr auto kUnknownOption = cp866(u8"movrek32-check: неизвестный параметр %s\n");
inline constexpr auto kMissingValue = cp866(u8"movrek32-check: после %s нужно имя файла\n");
inline constexpr auto kExtraArgument = cp866(u8"movrek32-check: лишний аргумент %s\n");
inline constexpr auto kOnePath = cp866(
    u8"movrek32-check: нужны оба аргумента movrek32, список и основной отчет, или ни одного\n");

inline constexpr auto kErrorTag = cp866(u8": error: ");
inline constexpr auto kWarningTag = cp866(u8": warning: ");
inline constexpr auto kNoteTag = cp866(u8": note: ");

// Parts of findings.
inline constexpr auto kNumberedOtherwise = cp866(u8" (movrek32 назовет ее строкой %s)");
inline constexpr auto kAnd = cp866(u8" и ");
inline constexpr auto kLookedForFrom = cp866(u8" из текущего каталога (ищется как %s)");
inline constexpr auto kWhyMissing = cp866(u8"его нет");
inline constexpr auto kWhyUnreadable =
    cp866(u8"это каталог, или нет прав на чтение, или ошибка диска");
inline constexpr auto kWhyNoDirectory = cp866(u8"нет такого каталога");
inline constexpr auto kWhyNotWritable = cp866(u8"это каталог, или нет прав на запись");
inline constexpr auto kEndsWith = cp866(u8" (код выхода %s)");
inline constexpr auto kEndsEarlier =
    cp866(u8" (но до этого movrek32 не дойдет: раньше он завершится с кодом %s)");
inline constexpr auto kEndsIfReached = cp866(u8" (код выхода %s, если movrek32 дойдет до этого)");

// After the first kShownOfKind findings of one kind about one file.
inline constexpr auto kMoreOfKind = cp866(u8"еще %s того же рода\n");

// The summary.
inline constexpr auto kMainReport = cp866(u8"основной отчет %s: ");
inline constexpr auto kMainReportUnnamed = cp866(u8"основной отчет (второй аргумент movrek32): ");
inline constexpr auto kGroupReport = cp866(u8"отчет %s, группа %s (строка %s): ");
inline constexpr auto kGroupWithoutReportName = cp866(u8"группа %s (строка %s) без отчета: ");
inline constexpr auto kTotals = cp866(u8"%s, %s, %s\n");
inline constexpr auto kNothingToWrite = cp866(u8"записывать нечего\n");
inline constexpr auto kOtherAreas = cp866(u8"области, которые не названы в группах\n");
inline constexpr auto kNamedAreas = cp866(u8"области %s\n");
inline constexpr auto kNoAreas = cp866(u8"областей нет\n");
inline constexpr auto kAreaTotals = cp866(u8"    %s: %s, %s\n");
inline constexpr auto kFrame = cp866(u8"    заголовок %s, концовка %s\n");
inline constexpr auto kNoFile = cp866(u8"нет");
inline constexpr auto kFileLeftOut = cp866(u8"%s (%s)");
inline constexpr auto kNotFoundAt = cp866(u8"не найден: %s");
inline constexpr auto kUnreadableBecause = cp866(u8"не читается: %s");
inline constexpr auto kExcluded = cp866(u8"исключены (EXCLUDEAREAS): %s\n");
inline constexpr auto kExcludedArea = cp866(u8"%s: %s, %s");
inline constexpr auto kSettings = cp866(u8"ширина %s, NODESC \"%s\"\n");
inline constexpr auto kTemplate = cp866(u8"шаблон %s: %s\n");
inline constexpr auto kNoTags = cp866(u8"записей нет");
inline constexpr auto kExitCode = cp866(u8"movrek32 с этими аргументами завершится с кодом %s\n");
inline constexpr auto kTally = cp866(u8"ошибок: %s, предупреждений: %s, замечаний: %s\n");

// A count and its noun in the form that goes with it: 1, 2 to 4, 5 and more.
struct Noun {
  std::string_view one, few, many;
};
inline constexpr auto kFileOne = cp866(u8"файл");
inline constexpr auto kFileFew = cp866(u8"файла");
inline constexpr auto kFileMany = cp866(u8"файлов");
inline constexpr auto kAreaOne = cp866(u8"область");
inline constexpr auto kAreaFew = cp866(u8"области");
inline constexpr auto kAreaMany = cp866(u8"областей");
inline constexpr auto kByteOne = cp866(u8"байт");
inline constexpr auto kByteFew = cp866(u8"байта");
inline constexpr auto kWarningOne = cp866(u8"предупреждение");
inline constexpr auto kWarningFew = cp866(u8"предупреждения");
inline constexpr auto kWarningMany = cp866(u8"предупреждений");
inline constexpr Noun kFiles{kFileOne, kFileFew, kFileMany};
inline constexpr Noun kWarnings{kWarningOne, kWarningFew, kWarningMany};
inline constexpr auto kFindingOne = cp866(u8"сообщение");
inline constexpr auto kFindingFew = cp866(u8"сообщения");
inline constexpr auto kFindingMany = cp866(u8"сообщений");
inline constexpr Noun kFindings{kFindingOne, kFindingFew, kFindingMany};
inline constexpr Noun kAreas{kAreaOne, kAreaFew, kAreaMany};
inline constexpr Noun kBytes{kByteOne, kByteFew, kByteOne};

// "3 файла": a count with its noun in the matching form.
inline std::string counted(unsigned long long n, const Noun& noun) {
  const unsigned long long tens = n % 100, units = n % 10;
  const std::string_view word = units == 1 && tens != 11                               ? noun.one
                                : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? noun.few
                                                                                       : noun.many;
  std::string out = unsigned_decimal_text(n);
  out += ' ';
  out += word;
  return out;
}

}  // namespace movrek::check::messages
