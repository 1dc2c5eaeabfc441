#pragma once

#include "text/cp866.h"

// Every console text of movrek32-check, in CP866. Patterns are filled by
// format_message: each %s or %d takes the next argument. A finding is printed
// as "FILE:LINE: error: TEXT" or "FILE:LINE: warning: TEXT"; the words error
// and warning stay English for editors and CI parsers.
namespace movrek::check_messages {

inline constexpr auto kUsage = cp866(
    u8"Использование: movrek32-check [-c ФАЙЛ] [-s] [СПИСОК [ОТЧЕТ]]\n"
    u8"Проверяет, ничего не записывая, конфигурацию movrek32, шаблон newfile.rpt,\n"
    u8"файлы заголовков и концовок и, если он указан, список новых файлов, и\n"
    u8"показывает, в какой отчет попадет каждый файл.\n"
    u8"  -c, --config ФАЙЛ  проверить этот файл конфигурации, а не movrek.cfg\n"
    u8"                     из каталога программы\n"
    u8"  -s, --strict       считать предупреждения ошибками\n"
    u8"  -h, --help         показать эту справку\n"
    u8"      --version      показать версию\n"
    u8"  СПИСОК             список новых файлов: прочесть его, как прочтет movrek32\n"
    u8"  ОТЧЕТ              основной отчет, второй аргумент movrek32\n"
    u8"Коды выхода: 0 - ошибок нет, 1 - найдены ошибки (с -s и предупреждения),\n"
    u8"2 - неверная командная строка.\n");
inline constexpr auto kVersion = cp866(u8"movrek32-check %s\n");
inline constexpr auto kUnknownOption = cp866(u8"movrek32-check: неизвестный параметр %s\n");
inline constexpr auto kMissingValue = cp866(u8"movrek32-check: после %s нужно имя файла\n");
inline constexpr auto kExtraArgument = cp866(u8"movrek32-check: лишний аргумент %s\n");

inline constexpr auto kErrorTag = cp866(u8": error: ");
inline constexpr auto kWarningTag = cp866(u8": warning: ");

// What movrek32 does after a line in error.
#define MOVREK_SKIPS u8"; movrek32 пропустит эту и все следующие строки\n"

inline constexpr auto kConfigCannotOpen = cp866(u8"не могу открыть файл конфигурации\n");
inline constexpr auto kUnknownKeyword =
    cp866(u8"неизвестное ключевое слово \"%s\" в строке \"%s\"" MOVREK_SKIPS);
inline constexpr auto kUnknownKeywordLike =
    cp866(u8"неизвестное ключевое слово \"%s\" (может быть, %s?) в строке \"%s\"" MOVREK_SKIPS);
inline constexpr auto kGroupInGroup =
    cp866(u8"GROUP внутри группы из строки %s, не закрытой ENDGROUP: \"%s\"" MOVREK_SKIPS);
inline constexpr auto kEndGroupOutside =
    cp866(u8"ENDGROUP без открытой группы: \"%s\"" MOVREK_SKIPS);
inline constexpr auto kNoDirectory = cp866(u8"DRUVODIR без каталога: \"%s\"" MOVREK_SKIPS);
inline constexpr auto kDirectoryTooLong =
    cp866(u8"каталог DRUVODIR длиннее 259 байт: \"%s\"" MOVREK_SKIPS);
inline constexpr auto kNegativeWidth = cp866(u8"отрицательная ширина отчета: \"%s\"" MOVREK_SKIPS);
inline constexpr auto kConfigReadFailed = cp866(u8"ошибка чтения файла" MOVREK_SKIPS);
#undef MOVREK_SKIPS
inline constexpr auto kGroupWithoutReport = cp866(
    u8"у группы %s нет строки REPORT: movrek32 не запишет ни одного отчета и завершится с "
    u8"кодом 6\n");
inline constexpr auto kTemplateMissing =
    cp866(u8"нет файла-шаблона (ищется как %s): movrek32 завершится с кодом 7\n");
inline constexpr auto kTemplateNul =
    cp866(u8"строка шаблона начинается с байта NUL: movrek32 завершится с кодом 7\n");
inline constexpr auto kTemplateReadFailed =
    cp866(u8"ошибка чтения шаблона: movrek32 завершится с кодом 7\n");
inline constexpr auto kTemplateEmpty = cp866(
    u8"шаблон пуст: movrek32 не прочтет ни одной записи и на непустом списке завершится с "
    u8"кодом 3\n");
inline constexpr auto kTemplateWithoutArea = cp866(
    u8"в шаблоне нет строки A (имя области): movrek32 не объявит ни одного файла и на "
    u8"списке хотя бы из одной записи завершится с кодом 3\n");
inline constexpr auto kTemplateWithoutFile = cp866(
    u8"в шаблоне нет строки F (имя файла): movrek32 не объявит ни одного файла и на "
    u8"списке хотя бы из одной записи завершится с кодом 3\n");
inline constexpr auto kListCannotOpen =
    cp866(u8"не могу открыть список (ищется как %s): movrek32 завершится с кодом 2\n");
inline constexpr auto kListReadFailed =
    cp866(u8"ошибка чтения списка: movrek32 завершится с кодом 3\n");
inline constexpr auto kListRefused = cp866(
    u8"в списке есть запись без имени области или имени файла: movrek32 отвергнет список с "
    u8"кодом 3\n");

inline constexpr auto kConfigMissing =
    cp866(u8"файла конфигурации нет: movrek32 будет работать с настройками по умолчанию\n");
inline constexpr auto kReportOutsideGroup = cp866(
    u8"REPORT вне группы ничего не меняет: \"%s\"; основной отчет задает второй аргумент "
    u8"movrek32\n");
inline constexpr auto kGroupLeftOpen = cp866(
    u8"группа не закрыта строкой ENDGROUP: movrek32 ее отбросит, и файлы ее областей (%s) "
    u8"пойдут в основной отчет или в другие группы\n");
inline constexpr auto kAreaInTwoGroups = cp866(
    u8"область %s уже названа в группе из строки %s (отчет %s): ее файлы пойдут туда, а не "
    u8"в эту группу\n");
inline constexpr auto kAreaExcludedAndGrouped =
    cp866(u8"область %s исключена строкой EXCLUDEAREAS %s: ее файлы не попадут ни в один отчет\n");
inline constexpr auto kSameReportFile = cp866(
    u8"отчет %s уже пишет группа со строкой REPORT %s: если файлы будут у обеих групп, "
    u8"останется отчет только этой\n");
inline constexpr auto kSameAsMainReport = cp866(
    u8"отчет %s - это и основной отчет: если файлы будут у обоих, останется отчет только этой "
    u8"группы\n");
inline constexpr auto kReportIsList =
    cp866(u8"отчет %s - это сам список: movrek32 запишет отчет поверх списка\n");
inline constexpr auto kMainReportIsList =
    cp866(u8"основной отчет - это сам список: movrek32 запишет отчет поверх списка\n");
inline constexpr auto kHeaderNotFound = cp866(
    u8"файл заголовка %s не найден из текущего каталога (ищется как %s): отчет выйдет без "
    u8"заголовка\n");
inline constexpr auto kFooterNotFound = cp866(
    u8"файл концовки %s не найден из текущего каталога (ищется как %s): отчет выйдет без "
    u8"концовки\n");
inline constexpr auto kWidthNoRoom =
    cp866(u8"при ширине %s описаниям файлов нет места в отчете (нужно не меньше 14)\n");
inline constexpr auto kWidthNoRoomWithSize =
    cp866(u8"при ширине %s описаниям файлов с размером нет места в отчете (нужно не меньше 23)\n");
inline constexpr auto kWidthNotNumber =
    cp866(u8"ширина \"%s\" - не простое число: movrek32 возьмет %s\n");
inline constexpr auto kConfigBom =
    cp866(u8"файл начинается с метки UTF-8 (BOM): movrek32 примет первую строку за комментарий\n");
#define MOVREK_CP866 u8"а отчет пишется в CP866 (перекодируйте: iconv -f utf-8 -t cp866)\n"
inline constexpr auto kUtf8Nodesc = cp866(u8"текст NODESC похож на UTF-8, " MOVREK_CP866);
inline constexpr auto kUtf8Header = cp866(u8"заголовок похож на UTF-8, " MOVREK_CP866);
inline constexpr auto kUtf8Footer = cp866(u8"концовка похожа на UTF-8, " MOVREK_CP866);
#undef MOVREK_CP866
inline constexpr auto kUtf8List = cp866(
    u8"тексты списка похожи на UTF-8 (их %s, первый у файла %s в области %s), а отчет "
    u8"пишется в CP866: в отчете они будут нечитаемы\n");
inline constexpr auto kLongFileName = cp866(
    u8"имя файла %s в области %s длиннее 12 байт: отчет напечатает %s, и запрос файла по "
    u8"этому имени не сработает\n");
inline constexpr auto kSizeNotDecimal = cp866(
    u8"размер \"%s\" файла %s в области %s - не десятичное число: в итог области войдет %s\n");
inline constexpr auto kSizesEmpty =
    cp866(u8"у файлов с пустым размером (их %s) отчет оставит колонку размера пустой\n");
inline constexpr auto kSizeTooLong =
    cp866(u8"размер %s файла %s в области %s длиннее 8 знаков: отчет напечатает %s\n");
inline constexpr auto kTotalWraps = cp866(
    u8"файлы области %s занимают %s байт, а итог в отчете покажет %s (счет идет по модулю "
    u8"2^32)\n");
inline constexpr auto kDuplicateFile =
    cp866(u8"файл %s указан в области %s несколько раз (%s): отчет покажет каждую запись\n");
inline constexpr auto kRecordsLost = cp866(
    u8"последние строки списка (%s) не составляют записи с именем области и именем файла: "
    u8"movrek32 их пропустит\n");

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
inline constexpr auto kFileNotFound = cp866(u8"%s (не найден: %s)");
inline constexpr auto kExcluded = cp866(u8"исключены (EXCLUDEAREAS): %s\n");
inline constexpr auto kExcludedArea = cp866(u8"%s: %s, %s");
inline constexpr auto kSettings = cp866(u8"ширина %s, NODESC \"%s\"\n");
inline constexpr auto kTemplate = cp866(u8"шаблон %s: %s\n");
inline constexpr auto kNoTags = cp866(u8"записей нет");
inline constexpr auto kTally = cp866(u8"ошибок: %s, предупреждений: %s\n");

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
inline constexpr Noun kAreas{kAreaOne, kAreaFew, kAreaMany};
inline constexpr Noun kBytes{kByteOne, kByteFew, kByteOne};

}  // namespace movrek::check_messages
