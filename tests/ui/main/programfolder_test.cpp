#include "ui/main/programfolder.h"

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char *current;
    char separator;
    const char *expected;
};

void PrintTo(const FolderCase &c, std::ostream *os) { *os << c.current; }

class ProgramFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolder, EndsInOneSeparator)
{
    const FolderCase &c = GetParam();
    EXPECT_EQ(uimain::CartellaConSeparatore(QString::fromUtf8(c.current), QChar::fromLatin1(c.separator)),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramFolder,
                         ::testing::Values(FolderCase{"E:\\", '\\', "E:\\"},
                                           FolderCase{"D:\\Dogana\\Corbix", '\\', "D:\\Dogana\\Corbix\\"},
                                           FolderCase{"D:\\Dogana\\Corbix\\\\", '\\', "D:\\Dogana\\Corbix\\"},
                                           FolderCase{"\\", '\\', "C:\\"},
                                           FolderCase{"", '\\', "C:\\"},
                                           FolderCase{"/home/u/corbix", '/', "/home/u/corbix/"},
                                           FolderCase{"/home/u/corbix//", '/', "/home/u/corbix/"},
                                           FolderCase{"/", '/', "/"}));

}  // namespace
