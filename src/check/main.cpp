#include <cstdio>
#include <new>

#include "check/check_program.h"
#include "driver/host.h"
#include "driver/messages.h"

int main(int argc, char** argv) {
  try {
    const auto host = movrek::make_system_host(argc > 0 ? argv[0] : nullptr);
    return movrek::check::check_main(argc, argv, *host);
  } catch (const std::bad_alloc&) {
    // Not even the host could be set up.
    const std::string_view message = movrek::messages::kOutOfMemory;
    std::fwrite(message.data(), 1, message.size(), stdout);
    return 1;
  }
}
