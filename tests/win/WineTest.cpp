#include "WineTest.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

struct Test {
    const char *name;
    void (*function)();
};

std::vector<Test> &tests()
{
    static std::vector<Test> all;
    return all;
}

std::vector<std::string> &rows()
{
    static std::vector<std::string> names;
    return names;
}

std::string g_argument;

} // namespace

namespace WineTest {

int add(const char *name, void (*function)())
{
    tests().push_back({name, function});
    return static_cast<int>(tests().size());
}

std::string_view argument()
{
    return g_argument;
}

void fail(const char *file, int line, const std::string &message)
{
    std::string where = std::string(file) + ":" + std::to_string(line) + ": ";
    for (const std::string &row : rows())
        where += "[" + row + "] ";
    throw Failure{where + message};
}

void skip(const std::string &reason)
{
    throw Skipped{reason};
}

Row::Row(std::string name)
{
    rows().push_back(std::move(name));
}

Row::~Row()
{
    rows().pop_back();
}

} // namespace WineTest

int main(int argc, char **argv)
{
    g_argument = argc > 1 ? argv[1] : "";
    const std::string only = argc > 2 ? argv[2] : "";
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    for (const Test &test : tests()) {
        if (!only.empty() && only != test.name)
            continue;
        std::string outcome;
        const auto started = std::chrono::steady_clock::now();
        try {
            test.function();
            ++passed;
            outcome = "PASS";
        } catch (const WineTest::Failure &failure) {
            ++failed;
            outcome = "FAIL " + failure.message;
        } catch (const WineTest::Skipped &skip) {
            ++skipped;
            outcome = "SKIP " + skip.reason;
        } catch (const std::exception &error) {
            ++failed;
            outcome = std::string("FAIL unexpected exception: ") + error.what();
        }
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        std::printf("%-48s %s (%lld ms)\n", test.name, outcome.c_str(), static_cast<long long>(elapsed.count()));
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed, %d skipped\n", passed, failed, skipped);
    // A filter that matched nothing fails too.
    return failed == 0 && passed + skipped > 0 ? 0 : 1;
}
