#include <gtest/gtest.h>

#include <string>

// Linked as the program links it: what the standard library reports arrives catchable, and a use
// of the library beyond the program's own links beside it.
TEST(LibraryErrors, MisuseAndBadNumbersStayCatchable) {
    EXPECT_THROW(std::string("a").at(1), std::exception);
    EXPECT_THROW(std::string().reserve(std::string().max_size() + 1), std::bad_alloc);
    EXPECT_THROW(std::stoi("x"), std::exception);
}
