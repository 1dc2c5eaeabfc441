#pragma once

#include "text/cp866.h"

namespace movrek::messages {

// The report writer's console lines, formatted with the group's report name.
inline constexpr auto kWritingReport = cp866(u8"записываем отчет %s ...\n");
inline constexpr auto kNothingToWrite = cp866(u8"в отчет %s записывать нечего.\n");

}  // namespace movrek::messages
