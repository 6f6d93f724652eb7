// Every test process takes its locale from the environment before main, as a desktop
// program does when the toolkit starts: `LC_ALL=de_DE.UTF-8` runs a test as on a German
// desktop, with a comma as the decimal separator and German system messages.
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

[[gnu::constructor]] void TakeLocaleFromEnvironment() {
    if (std::setlocale(LC_ALL, "") != nullptr) return;
    // A locale asked for by name must not silently become "C": the run would prove nothing.
    const char* asked = std::getenv("LC_ALL");
    if (asked != nullptr && *asked != '\0') {
        std::fprintf(stderr, "locale %s is not installed (scripts/setup generates de_DE.UTF-8)\n",
                     asked);
        std::_Exit(1);
    }
}

}  // namespace
