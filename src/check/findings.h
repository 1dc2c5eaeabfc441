#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"

// What movrek32-check finds, and how it says so. Every kind of finding is one
// entry of MOVREK_FINDINGS: its name, its level and its text, whose %s take
// the finding's arguments in turn (the comment above an entry names them).
// Adding a finding is adding an entry and the line that finds it. Findings of
// other files than the configuration are listed in the order of this table.
//
// The levels: an error is a failure that movrek32 will meet, or a run that
// will do what the sysop cannot want; a warning is probably a mistake; a note
// is true, and normal in real lists.
namespace movrek::check {

enum class Level { kError, kWarning, kNote };

// What movrek32 does after a line in error; the %s says how it numbers the
// line when it counts otherwise than an editor.
#define MOVREK_SKIPS u8"; movrek32 пропустит эту и все следующие строки%s\n"
#define MOVREK_CP866 u8"а отчет пишется в CP866 (перекодируйте: iconv -f utf-8 -t cp866)\n"

// The last %s of an entry marked "ends the run" is how the run ends there: the
// exit code, or that movrek32 stops earlier.
#define MOVREK_FINDINGS(X)                                                                                                                                        \
  /* The configuration named with -c is not there. */                                                                                                             \
  X(ConfigCannotOpen, kError, u8"файла конфигурации нет\n")                                                                                                       \
  /* The configuration is there but cannot be read: why. */                                                                                                       \
  X(ConfigUnreadable, kError,                                                                                                                                     \
    u8"файл конфигурации не читается (%s): movrek32 будет работать без него, с настройками "            \
    u8"по умолчанию, и объявит и те области, что исключены в нем\n")                                                                                              \
  /* The report. */                                                                                                                                               \
  X(ReportReplacesMain, kError,                                                                                                                                   \
    u8"отчет %s - это и основной отчет, а файлы есть у обоих: movrek32 запишет поверх основного "     \
    u8"отчета отчет этой группы\n")                                                                                                                               \
  /* The report, the line of the earlier group's REPORT. */                                                                                                       \
  X(ReportReplacesGroup, kError,                                                                                                                                  \
    u8"отчет %s уже пишет группа со строкой REPORT %s, а файлы есть у обеих: movrek32 запишет "                \
    u8"поверх ее отчета отчет этой группы\n")                                                                                                                     \
  /* Lines that movrek32 stops at: the word, the line, how movrek32 numbers it. */                                                                                \
  X(UnknownKeyword, kError, u8"неизвестное ключевое слово \"%s\" в строке \"%s\"" MOVREK_SKIPS)                                                                   \
  /* The word, the keyword it resembles, the line, how movrek32 numbers it. */                                                                                    \
  X(UnknownKeywordLike, kError,                                                                                                                                   \
    u8"неизвестное ключевое слово \"%s\" (может быть, %s?) в строке \"%s\"" MOVREK_SKIPS)                                                                         \
  /* The line of the open GROUP, the line, how movrek32 numbers it. */                                                                                            \
  X(GroupInGroup, kError,                                                                                                                                         \
    u8"GROUP внутри группы из строки %s, не закрытой ENDGROUP: \"%s\"" MOVREK_SKIPS)                                                                              \
  /* The line, how movrek32 numbers it; so the next three. */                                                                                                     \
  X(EndGroupOutside, kError, u8"ENDGROUP без открытой группы: \"%s\"" MOVREK_SKIPS)                                                                               \
  X(NoDirectory, kError, u8"DRUVODIR без каталога: \"%s\"" MOVREK_SKIPS)                                                                                          \
  X(NegativeWidth, kError, u8"отрицательная ширина отчета: \"%s\"" MOVREK_SKIPS)                                                                                  \
  /* The longest directory, the line, how movrek32 numbers it. */                                                                                                 \
  X(DirectoryTooLong, kError, u8"каталог DRUVODIR длиннее %s байт: \"%s\"" MOVREK_SKIPS)                                                                          \
  /* How movrek32 numbers the line. */                                                                                                                            \
  X(ConfigReadFailed, kError, u8"ошибка чтения файла" MOVREK_SKIPS)                                                                                               \
  /* The group's number; ends the run. */                                                                                                                         \
  X(GroupWithoutReport, kError,                                                                                                                                   \
    u8"у группы %s нет строки REPORT, и ни одного отчета не будет%s\n")                                                                                           \
  /* The full path looked at; ends the run. */                                                                                                                    \
  X(TemplateMissing, kError, u8"нет файла-шаблона %s%s\n")                                                                                                        \
  /* Why; ends the run. */                                                                                                                                        \
  X(TemplateUnreadable, kError, u8"файл-шаблон не читается (%s)%s\n")                                                                                             \
  /* How movrek32 numbers the line; ends the run. */                                                                                                              \
  X(TemplateNul, kError, u8"строка шаблона начинается с байта NUL%s%s\n")                                                                                         \
  X(TemplateReadFailed, kError, u8"ошибка чтения шаблона%s%s\n")                                                                                                  \
  /* How the run ends when movrek32 reads a list; so the next two. */                                                                                             \
  X(TemplateEmpty, kError,                                                                                                                                        \
    u8"шаблон пуст: movrek32 не прочтет ни одной записи и отвергнет любой список, даже "                 \
    u8"пустой%s\n")                                                                                                                                               \
  X(TemplateWithoutArea, kError,                                                                                                                                  \
    u8"в шаблоне нет строки A (имя области): movrek32 не объявит ни одного файла%s\n")                                                                            \
  X(TemplateWithoutFile, kError,                                                                                                                                  \
    u8"в шаблоне нет строки F (имя файла): movrek32 не объявит ни одного файла%s\n")                                                                              \
  /* How many of how many records, the lines the first of them start at. */                                                                                       \
  X(TemplateMismatch, kError,                                                                                                                                     \
    u8"шаблон не подходит к списку: у %s из %s записей имя области или имя файла пусто или с "     \
    u8"пробелами (такие записи начинаются в строках %s): movrek32 объявит вместо имен другие "       \
    u8"строки записей\n")                                                                                                                                         \
  /* The full path looked at; ends the run. */                                                                                                                    \
  X(ListMissing, kError, u8"нет списка %s%s\n")                                                                                                                   \
  /* Why; ends the run. */                                                                                                                                        \
  X(ListUnreadable, kError, u8"список не читается (%s)%s\n")                                                                                                      \
  /* Ends the run; so the next one. */                                                                                                                            \
  X(ListReadFailed, kError, u8"ошибка чтения списка%s\n")                                                                                                         \
  X(ListRefused, kError,                                                                                                                                          \
    u8"в списке есть запись без имени области или имени файла, а за ней еще строки: movrek32 "        \
    u8"отвергнет такой список%s\n")                                                                                                                               \
  /* How many lines. */                                                                                                                                           \
  X(ListWithoutRecords, kError,                                                                                                                                   \
    u8"в списке нет ни одной записи с именем области и именем файла, хотя строк в нем %s: "         \
    u8"movrek32 не объявит ни одного файла\n")                                                                                                                    \
  /* The report, why; ends the run. */                                                                                                                            \
  X(ReportCannotCreate, kError, u8"отчет %s нельзя создать (%s)%s\n")                                                                                             \
  /* The report, the file it would replace; ends the run. */                                                                                                      \
  X(ReportReplacesInput, kError,                                                                                                                                  \
    u8"отчет %s - это файл %s, который movrek32 читает: отчет не будет записан%s\n")                                                                              \
  /* The report; ends the run. */                                                                                                                                 \
  X(ReportUnidentified, kError,                                                                                                                                   \
    u8"система не говорит, какой файл назван %s: movrek32 не запишет этот отчет%s\n")                                                                             \
  /* Ends the run; so the next one. */                                                                                                                            \
  X(HeaderReadFailed, kError, u8"ошибка чтения заголовка%s\n")                                                                                                    \
  X(FooterReadFailed, kError, u8"ошибка чтения концовки%s\n")                                                                                                     \
  X(HeaderEndless, kError,                                                                                                                                        \
    u8"заголовок - не обычный файл, и конца у него может не быть: movrek32 будет копировать "          \
    u8"его в отчет, пока он не кончится\n")                                                                                                                       \
  X(FooterEndless, kError,                                                                                                                                        \
    u8"концовка - не обычный файл, и конца у нее может не быть: movrek32 будет копировать "              \
    u8"ее в отчет, пока она не кончится\n")                                                                                                                       \
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
  /* The name as written, the names movrek32 makes of it, joined by " и ". */                                                                                    \
  X(NameSplit, kWarning, u8"имя области %s длиннее 32 байт: movrek32 разрежет его на %s\n")                                                                       \
  /* The name. */                                                                                                                                                 \
  X(NameWildcard, kWarning,                                                                                                                                       \
    u8"в имени области %s есть * или ?: это не маска, movrek32 сравнит имя знак в знак\n")                                                                        \
  /* The report, the line of the earlier group's REPORT. */                                                                                                       \
  X(SameReportFile, kWarning,                                                                                                                                     \
    u8"отчет %s уже пишет группа со строкой REPORT %s: если файлы будут у обеих групп, "                     \
    u8"останется отчет только этой\n")                                                                                                                            \
  /* The report. */                                                                                                                                               \
  X(SameAsMainReport, kWarning,                                                                                                                                   \
    u8"отчет %s - это и основной отчет: если файлы будут у обоих, останется отчет только этой " \
    u8"группы\n")                                                                                                                                                 \
  /* The name, where it is looked for (empty for an absolute name). */                                                                                            \
  X(HeaderNotFound, kWarning, u8"файл заголовка %s не найден%s: отчет выйдет без заголовка\n")                                                                    \
  X(FooterNotFound, kWarning, u8"файл концовки %s не найден%s: отчет выйдет без концовки\n")                                                                      \
  /* The name, why. */                                                                                                                                            \
  X(HeaderUnreadable, kWarning,                                                                                                                                   \
    u8"файл заголовка %s не читается (%s): отчет выйдет без заголовка\n")                                                                                         \
  X(FooterUnreadable, kWarning,                                                                                                                                   \
    u8"файл концовки %s не читается (%s): отчет выйдет без концовки\n")                                                                                           \
  /* The width, the least width that gives descriptions room. */                                                                                                  \
  X(WidthNoRoom, kWarning,                                                                                                                                        \
    u8"при ширине %s описаниям файлов нет места в отчете (нужно не меньше %s)\n")                                                                                 \
  X(WidthNoRoomWithSize, kWarning,                                                                                                                                \
    u8"при ширине %s описаниям файлов с размером нет места в отчете (нужно не меньше %s)\n")                                                                      \
  /* The argument's first word, the width taken. */                                                                                                               \
  X(WidthNotNumber, kWarning, u8"ширина \"%s\" - не простое число: movrek32 возьмет %s\n")                                                                        \
  X(WidthWraps, kWarning, u8"ширина %s не умещается в 32 бита: movrek32 возьмет %s\n")                                                                            \
  X(ConfigBom, kWarning,                                                                                                                                          \
    u8"файл начинается с метки UTF-8 (BOM): movrek32 примет первую строку за комментарий\n")                                                                      \
  X(LongConfigLine, kWarning,                                                                                                                                     \
    u8"строка длиннее 1022 байт: movrek32 прочтет ее по кускам, как несколько строк, и "                      \
    u8"кусок, что начнется с буквы, примет за строку с ключевым словом\n")                                                                                        \
  X(Utf8Nodesc, kWarning, u8"текст NODESC похож на UTF-8, " MOVREK_CP866)                                                                                         \
  X(Utf8Header, kWarning, u8"заголовок похож на UTF-8, " MOVREK_CP866)                                                                                            \
  X(Utf8Footer, kWarning, u8"концовка похожа на UTF-8, " MOVREK_CP866)                                                                                            \
  /* How many, the file and area of the first. */                                                                                                                 \
  X(Utf8List, kWarning,                                                                                                                                           \
    u8"тексты списка похожи на UTF-8 (их %s, первый у файла %s в области %s), а отчет "                           \
    u8"пишется в CP866: в отчете они будут нечитаемы\n")                                                                                                          \
  /* How many records, the line the first starts at. */                                                                                                           \
  X(EmptyNames, kWarning,                                                                                                                                         \
    u8"у записей списка (их %s, первая начинается в строке %s) пустое имя области или файла\n")                                                                   \
  /* The size text, the file, its area, the value added to the total. */                                                                                          \
  X(SizeNotDecimal, kWarning,                                                                                                                                     \
    u8"размер \"%s\" файла %s в области %s - не десятичное число: в итог области войдет %s\n")                                                                    \
  /* How many lines. */                                                                                                                                           \
  X(RecordsLost, kWarning,                                                                                                                                        \
    u8"последние строки списка (%s) не составляют записи с именем области и именем файла: "      \
    u8"movrek32 их пропустит\n")                                                                                                                                  \
  /* No configuration beside the program. */                                                                                                                      \
  X(ConfigMissing, kNote,                                                                                                                                         \
    u8"файла конфигурации нет: movrek32 будет работать с настройками по умолчанию\n")                                                                             \
  /* How many. */                                                                                                                                                 \
  X(SizesEmpty, kNote,                                                                                                                                            \
    u8"у файлов с пустым размером (их %s) отчет оставит колонку размера пустой\n")                                                                                \
  /* The file, its area, how many times. */                                                                                                                       \
  X(DuplicateFile, kNote,                                                                                                                                         \
    u8"файл %s указан в области %s несколько раз (%s): отчет покажет каждую запись\n")

enum class Kind {
#define MOVREK_FINDING_KIND(name, level, text) k##name,
  MOVREK_FINDINGS(MOVREK_FINDING_KIND)
#undef MOVREK_FINDING_KIND
};

Level level_of(Kind kind);
// The text, in CP866, with a %s for each argument.
std::string_view pattern_of(Kind kind);
// The number of arguments the text takes.
std::size_t arguments_of(Kind kind);

struct Finding {
  Kind kind;
  std::string file;  // the file it is about, as the sysop edits it
  int line = 0;      // 0: none; else the line as an editor counts it
  std::vector<std::string> args;

  Level level() const { return level_of(kind); }
};

// Of the findings of one kind about one file, this many are shown; the rest
// are counted.
inline constexpr std::size_t kShownOfKind = 20;

struct Tally {
  long long errors = 0;
  long long warnings = 0;
  long long notes = 0;
};

// Prints the findings in order, one a line as "FILE:LINE: error: TEXT" (or
// warning, or note), the first kShownOfKind of each kind and file and then
// the count of the rest, and counts them all.
Tally print_findings(const std::vector<Finding>& findings, const ConsoleOut& console);

}  // namespace movrek::check
