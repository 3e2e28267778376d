#include <string>

#include "support.h"

// Linked as the program links it: what the standard library reports arrives catchable, and a use
// of the library beyond the program's own links beside it.
TEST(LibraryStandIns, MisuseStaysCatchableAndExceptionsWorkOnTwoThreads) {
    EXPECT_THROW(std::string("a").at(1), std::exception);
    EXPECT_THROW(std::string().reserve(std::string().max_size() + 1), std::bad_alloc);
    EXPECT_THROW(std::stoi("x"), std::exception);
    // The thread functions stand in for a library that no test exe can do without: a program
    // of their own.
    EXPECT_EQ(kv::test::Process(kv::test::BesideThisExe("throwing_program.exe")).ExitCode(30000),
              0u);
}
