#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"

// What movrek32-check finds, and how it says so. Every kind of finding is one
// entry of MOVREK_FINDINGS: its name, its level and its text, whose %s take
// the finding's arguments in turn. Adding a finding is adding an entry and
// the line that finds it. Findings of other files than the configuration are
// listed in the order of this table.
namespace movrek::check {

enum class Level { kError, kWarning };

// What movrek32 does after a line in error.
#define MOVREK_SKIPS u8"; movrek32 пропустит эту и все следующие строки\n"
#define MOVREK_CP866 u8"а отчет пишется в CP866 (перекодируйте: iconv -f utf-8 -t cp866)\n"

#define MOVREK_FINDINGS(X)                                                                                                                                        \
  /* The configuration named with -c cannot be opened. */                                                                                                         \
  X(ConfigCannotOpen, kError, u8"не могу открыть файл конфигурации\n")                                                                                            \
  /* Lines that movrek32 stops at: the word, the line. */                                                                                                         \
  X(UnknownKeyword, kError, u8"неизвестное ключевое слово \"%s\" в строке \"%s\"" MOVREK_SKIPS)                                                                   \
  /* The word, the keyword it resembles, the line. */                                                                                                             \
  X(UnknownKeywordLike, kError,                                                                                                                                   \
    u8"неизвестное ключевое слово \"%s\" (может быть, %s?) в строке \"%s\"" MOVREK_SKIPS)                                                                         \
  /* The line of the open GROUP, the line. */                                                                                                                     \
  X(GroupInGroup, kError,                                                                                                                                         \
    u8"GROUP внутри группы из строки %s, не закрытой ENDGROUP: \"%s\"" MOVREK_SKIPS)                                                                              \
  X(EndGroupOutside, kError, u8"ENDGROUP без открытой группы: \"%s\"" MOVREK_SKIPS)                                                                               \
  X(NoDirectory, kError, u8"DRUVODIR без каталога: \"%s\"" MOVREK_SKIPS)                                                                                          \
  /* The longest directory, the line. */                                                                                                                          \
  X(DirectoryTooLong, kError, u8"каталог DRUVODIR длиннее %s байт: \"%s\"" MOVREK_SKIPS)                                                                          \
  X(NegativeWidth, kError, u8"отрицательная ширина отчета: \"%s\"" MOVREK_SKIPS)                                                                                  \
  X(ConfigReadFailed, kError, u8"ошибка чтения файла" MOVREK_SKIPS)                                                                                               \
  /* The group's number. */                                                                                                                                       \
  X(GroupWithoutReport, kError,                                                                                                                                   \
    u8"у группы %s нет строки REPORT: movrek32 не запишет ни одного отчета и завершится с "                    \
    u8"кодом 6\n")                                                                                                                                                \
  /* The full path looked at. */                                                                                                                                  \
  X(TemplateMissing, kError,                                                                                                                                      \
    u8"нет файла-шаблона (ищется как %s): movrek32 завершится с кодом 7\n")                                                                                       \
  X(TemplateNul, kError,                                                                                                                                          \
    u8"строка шаблона начинается с байта NUL: movrek32 завершится с кодом 7\n")                                                                                   \
  X(TemplateReadFailed, kError, u8"ошибка чтения шаблона: movrek32 завершится с кодом 7\n")                                                                       \
  X(TemplateEmpty, kError,                                                                                                                                        \
    u8"шаблон пуст: movrek32 не прочтет ни одной записи и на непустом списке завершится с "           \
    u8"кодом 3\n")                                                                                                                                                \
  X(TemplateWithoutArea, kError,                                                                                                                                  \
    u8"в шаблоне нет строки A (имя области): movrek32 не объявит ни одного файла и на "                       \
    u8"списке хотя бы из одной записи завершится с кодом 3\n")                                                                                                    \
  X(TemplateWithoutFile, kError,                                                                                                                                  \
    u8"в шаблоне нет строки F (имя файла): movrek32 не объявит ни одного файла и на "                           \
    u8"списке хотя бы из одной записи завершится с кодом 3\n")                                                                                                    \
  /* The full path looked at. */                                                                                                                                  \
  X(ListCannotOpen, kError,                                                                                                                                       \
    u8"не могу открыть список (ищется как %s): movrek32 завершится с кодом 2\n")                                                                                  \
  X(ListReadFailed, kError, u8"ошибка чтения списка: movrek32 завершится с кодом 3\n")                                                                            \
  X(ListRefused, kError,                                                                                                                                          \
    u8"в списке есть запись без имени области или имени файла: movrek32 отвергнет список с "         \
    u8"кодом 3\n")                                                                                                                                                \
  /* The report, the file it would replace. */                                                                                                                    \
  X(ReportReplacesInput, kError,                                                                                                                                  \
    u8"отчет %s - это файл %s, который movrek32 читает: отчет не будет записан, как и все "                    \
    u8"следующие, и movrek32 завершится с кодом 5\n")                                                                                                             \
  /* The report. */                                                                                                                                               \
  X(ReportUnidentified, kError,                                                                                                                                   \
    u8"система не говорит, какой файл назван %s: movrek32 не запишет этот отчет и все "                      \
    u8"следующие и завершится с кодом 5\n")                                                                                                                       \
  /* No configuration beside the program. */                                                                                                                      \
  X(ConfigMissing, kWarning,                                                                                                                                      \
    u8"файла конфигурации нет: movrek32 будет работать с настройками по умолчанию\n")                                                                             \
  /* The line. */                                                                                                                                                 \
  X(ReportOutsideGroup, kWarning,                                                                                                                                 \
    u8"REPORT вне группы ничего не меняет: \"%s\"; основной отчет задает второй аргумент "                \
    u8"movrek32\n")                                                                                                                                               \
  /* Its areas, joined by ", ". */                                                                                                                                \
  X(GroupLeftOpen, kWarning,                                                                                                                                      \
    u8"группа не закрыта строкой ENDGROUP: movrek32 ее отбросит, и файлы ее областей (%s) "                       \
    u8"пойдут в основной отчет или в другие группы\n")                                                                                                            \
  /* The area, the line of the earlier GROUP, its report. */                                                                                                      \
  X(AreaInTwoGroups, kWarning,                                                                                                                                    \
    u8"область %s уже названа в группе из строки %s (отчет %s): ее файлы пойдут туда, а не "             \
    u8"в эту группу\n")                                                                                                                                           \
  /* The area, the line of the EXCLUDEAREAS naming it. */                                                                                                         \
  X(AreaExcludedAndGrouped, kWarning,                                                                                                                             \
    u8"область %s исключена строкой EXCLUDEAREAS %s: ее файлы не попадут ни в один отчет\n")                                                                      \
  /* The report, the line of the earlier group's REPORT. */                                                                                                       \
  X(SameReportFile, kWarning,                                                                                                                                     \
    u8"отчет %s уже пишет группа со строкой REPORT %s: если файлы будут у обеих групп, "                     \
    u8"останется отчет только этой\n")                                                                                                                            \
  /* The report. */                                                                                                                                               \
  X(SameAsMainReport, kWarning,                                                                                                                                   \
    u8"отчет %s - это и основной отчет: если файлы будут у обоих, останется отчет только этой " \
    u8"группы\n")                                                                                                                                                 \
  /* The name, the full path looked at. */                                                                                                                        \
  X(HeaderNotFound, kWarning,                                                                                                                                     \
    u8"файл заголовка %s не найден из текущего каталога (ищется как %s): отчет выйдет без "         \
    u8"заголовка\n")                                                                                                                                              \
  X(FooterNotFound, kWarning,                                                                                                                                     \
    u8"файл концовки %s не найден из текущего каталога (ищется как %s): отчет выйдет без "           \
    u8"концовки\n")                                                                                                                                               \
  /* The width, the least width that gives descriptions room. */                                                                                                  \
  X(WidthNoRoom, kWarning,                                                                                                                                        \
    u8"при ширине %s описаниям файлов нет места в отчете (нужно не меньше %s)\n")                                                                                 \
  X(WidthNoRoomWithSize, kWarning,                                                                                                                                \
    u8"при ширине %s описаниям файлов с размером нет места в отчете (нужно не меньше %s)\n")                                                                      \
  /* The argument's first word, the width taken. */                                                                                                               \
  X(WidthNotNumber, kWarning, u8"ширина \"%s\" - не простое число: movrek32 возьмет %s\n")                                                                        \
  X(ConfigBom, kWarning,                                                                                                                                          \
    u8"файл начинается с метки UTF-8 (BOM): movrek32 примет первую строку за комментарий\n")                                                                      \
  X(Utf8Nodesc, kWarning, u8"текст NODESC похож на UTF-8, " MOVREK_CP866)                                                                                         \
  X(Utf8Header, kWarning, u8"заголовок похож на UTF-8, " MOVREK_CP866)                                                                                            \
  X(Utf8Footer, kWarning, u8"концовка похожа на UTF-8, " MOVREK_CP866)                                                                                            \
  /* How many, the file and area of the first. */                                                                                                                 \
  X(Utf8List, kWarning,                                                                                                                                           \
    u8"тексты списка похожи на UTF-8 (их %s, первый у файла %s в области %s), а отчет "                           \
    u8"пишется в CP866: в отчете они будут нечитаемы\n")                                                                                                          \
  /* The size text, the file, its area, the value added to the total. */                                                                                          \
  X(SizeNotDecimal, kWarning,                                                                                                                                     \
    u8"размер \"%s\" файла %s в области %s - не десятичное число: в итог области войдет %s\n")                                                                    \
  /* How many. */                                                                                                                                                 \
  X(SizesEmpty, kWarning,                                                                                                                                         \
    u8"у файлов с пустым размером (их %s) отчет оставит колонку размера пустой\n")                                                                                \
  /* The file, its area, how many times. */                                                                                                                       \
  X(DuplicateFile, kWarning,                                                                                                                                      \
    u8"файл %s указан в области %s несколько раз (%s): отчет покажет каждую запись\n")                                                                            \
  /* How many lines. */                                                                                                                                           \
  X(RecordsLost, kWarning,                                                                                                                                        \
    u8"последние строки списка (%s) не составляют записи с именем области и именем файла: "      \
    u8"movrek32 их пропустит\n")

enum class Kind {
#define MOVREK_FINDING_KIND(name, level, text) k##name,
  MOVREK_FINDINGS(MOVREK_FINDING_KIND)
#undef MOVREK_FINDING_KIND
};

Level level_of(Kind kind);
// The text, in CP866, with a %s for each argument.
std::string_view pattern_of(Kind kind);

struct Finding {
  Kind kind;
  std::string file;  // the file it is about, as named to the program
  int line = 0;      // 0: none
  std::vector<std::string> args;

  Level level() const { return level_of(kind); }
};

// Findings of one kind about one file without a line are shown up to this
// many; the rest are counted.
inline constexpr std::size_t kShownOfKind = 20;

struct Tally {
  long long errors = 0;
  long long warnings = 0;
};

// Prints the findings in order, one a line as "FILE:LINE: error: TEXT" or
// "FILE:LINE: warning: TEXT", and counts them.
Tally print_findings(const std::vector<Finding>& findings, const ConsoleOut& console);

}  // namespace movrek::check
