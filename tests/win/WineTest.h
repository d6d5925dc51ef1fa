// WineTest: the runner of the tests that run under Wine, where there is no Qt: plain executables that
// register their test functions with WINE_TEST and check with CHECK / CHECK_EQ. A failed check ends its test
// function (RAII cleans up) and the runner goes on with the next; the last line says "N passed, N failed".
//
// Usage: test.exe [argument [test name]]. The argument is the executable's to interpret (one executable runs
// once per argument under ctest, e.g. once per stand-in server); a test name runs that test only.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <utility>

namespace WineTest {

struct Failure {
    std::string message;
};
struct Skipped {
    std::string reason;
};

int add(const char *name, void (*function)());
std::string_view argument();
[[noreturn]] void fail(const char *file, int line, const std::string &message);
[[noreturn]] void skip(const std::string &reason);

template <class T> std::string show(const T &value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

// Names the case of a data-driven test in a failure's message while it is in scope.
class Row {
public:
    explicit Row(std::string name);
    ~Row();
    Row(const Row &) = delete;
    Row &operator=(const Row &) = delete;
};

// The text of the Exception that call throws; a failure when it throws nothing or something else.
template <class Exception, class Call> std::string thrown(const char *file, int line, Call &&call)
{
    try {
        std::forward<Call>(call)();
    } catch (const Exception &error) {
        return error.what();
    }
    fail(file, line, "nothing was thrown");
}

} // namespace WineTest

#define WINE_TEST(name)                                                                                                \
    static void name();                                                                                                \
    [[maybe_unused]] static const int name##Added = WineTest::add(#name, &name);                                       \
    static void name()

#define CHECK(condition)                                                                                               \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            WineTest::fail(__FILE__, __LINE__, "CHECK(" #condition ")");                                               \
    } while (false)

#define CHECK_EQ(actual, expected)                                                                                     \
    do {                                                                                                               \
        const auto &actualValue = (actual);                                                                            \
        const auto &expectedValue = (expected);                                                                        \
        if (!(actualValue == expectedValue))                                                                           \
            WineTest::fail(__FILE__, __LINE__,                                                                         \
                           #actual " is " + WineTest::show(actualValue) + ", expected " +                              \
                               WineTest::show(expectedValue));                                                         \
    } while (false)

#define THROWN(Exception, expression) WineTest::thrown<Exception>(__FILE__, __LINE__, [&] { (void)(expression); })
