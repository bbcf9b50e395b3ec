// Compiled with -fexec-charset=UTF-8 like the rest of the sample platform.
//
// orvendel-sample-platform [--port N] [--audio-rate KIB]: serves the sample
// catalogue on 127.0.0.1 for the demo (on the build's demo port, 18080 unless
// configured otherwise, so that the demo program finds it),
// prints its base URL and serves until SIGINT or SIGTERM.

#include <pthread.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>

#include "sample_platform/sample_platform.h"

namespace {

void usage(std::ostream& out) {
  out << "usage: orvendel-sample-platform [--port N] [--audio-rate KIB]\n"
         "  --port N          listen on 127.0.0.1:N (default "
      << ORVENDEL_DEMO_PORT
      << "; 0 picks a free port)\n"
         "  --audio-rate KIB  send audio at KIB KiB per second (default: unlimited)\n";
}

// A whole decimal number in [low, high], or -1.
long parse_number(const std::string& text, long low, long high) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  if (text.size() > 9) return -1;
  const long n = std::stol(text);
  return n < low || n > high ? -1 : n;
}

}  // namespace

int main(int argc, char** argv) {
  long port = ORVENDEL_DEMO_PORT;
  long rate_kib = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      usage(std::cout);
      return 0;
    }
    if ((arg == "--port" || arg == "--audio-rate") && i + 1 < argc) {
      const std::string value = argv[++i];
      long& target = arg == "--port" ? port : rate_kib;
      target = parse_number(value, 0, arg == "--port" ? 65535 : 1000000);
      if (target < 0) {
        std::cerr << "orvendel-sample-platform: bad value for " << arg << ": " << value << "\n";
        return 2;
      }
      continue;
    }
    std::cerr << "orvendel-sample-platform: unknown argument: " << arg << "\n";
    usage(std::cerr);
    return 2;
  }

  // Blocked before the server's threads start, so that they inherit the mask
  // and only sigwait below sees the signals.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  try {
    orvendel::sample::SamplePlatform platform(static_cast<int>(port));
    platform.set_audio_rate(static_cast<std::size_t>(rate_kib) * 1024);
    std::cout << platform.base() << std::endl;
    int signal = 0;
    sigwait(&signals, &signal);
  } catch (const std::exception& e) {
    std::cerr << "orvendel-sample-platform: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
