#pragma once

#include "text/cp866.h"

// Every console text of movrek32, in CP866. Patterns are filled by
// format_message: each %s or %d takes the next argument.
namespace movrek::messages {

inline constexpr auto kBanner = cp866(
    u8"\nDruvo Announcer version %d.%d beta for Win32\n"
    u8"Copyright (c) the movrek32 authors\n\n");

inline constexpr auto kConfigLineError = cp866(u8"ошибка в конфиге, строка %d\n");
inline constexpr auto kWorkingWithoutConfig = cp866(u8"работаем без конфига.\n");
inline constexpr auto kGroupWithoutReport = cp866(u8"Не определен файл-отчет для группы %d\n");
inline constexpr auto kAddReportCommand =
    cp866(u8"Убедитесь в наличии команды Report для этой группы в файле %s\n");
inline constexpr auto kTemplateLineError = cp866(u8"Ошибка в файле-шаблоне %s, строка %d\n");
inline constexpr auto kTemplateMissing = cp866(u8"Не могу найти файл-шаблон %s\n");
inline constexpr auto kCannotOpenInput = cp866(u8"Ошибка открытия входного файла %s\n");
inline constexpr auto kReadingList = cp866(u8"читаем список анонсируемых файлов %s ...\n");
inline constexpr auto kInputEmpty =
    cp866(u8"Входной файл пуст/файлэхи не разрешены для анонсов.\n");
inline constexpr auto kWritingReport = cp866(u8"записываем отчет %s ...\n");
inline constexpr auto kNothingToWrite = cp866(u8"в отчет %s записывать нечего.\n");
inline constexpr auto kCannotOpenOutput = cp866(u8"Ошибка открытия выходного файла.\n");
inline constexpr auto kCannotWriteOutput = cp866(u8"Ошибка записи выходного файла %s.\n");
inline constexpr auto kCannotReadFile = cp866(u8"Ошибка чтения файла %s.\n");
inline constexpr auto kOutOfMemory = cp866(u8"Недостаточно памяти для работы.\n");

inline constexpr auto kUsage = cp866(
    u8"Использование: movrek32.exe <input_file> <output_file>\n"
    u8"     <input_file>  - файл-отчет Druvo'а\n"
    u8"     <output_file> - генерируемый отчет\n"
    u8"    если <input_file> не существует, то <output_file> не создается,\n"
    u8"    если <output_file> уже существует, то он затирается вновь созданным.\n"
    u8"Дополнительные параметры могут быть указаны в конфигурационном\n"
    u8"файле movrek.cfg, который должен находиться в том же каталоге,\n"
    u8"что и movrek32.exe (не обязательно текущем).\n");

}  // namespace movrek::messages
