#include <cstdio>
#include <new>
#include <string_view>

#include "driver/host.h"
#include "driver/messages.h"
#include "driver/run.h"

int main(int argc, char** argv) {
  movrek::host::prepare_console();
  const movrek::ConsoleOut console = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
  };
  try {
    return movrek::program_main(argc, argv, console);
  } catch (const std::bad_alloc&) {
    console(movrek::messages::kOutOfMemory);
    return static_cast<int>(movrek::ExitCode::kOutOfMemory);
  }
}
