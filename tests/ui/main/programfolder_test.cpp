#include "ui/main/programfolder.h"

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char *name;
    const char *current;
    char separator;
    const char *expected;
};

// A folder text may end in a backslash, which would run into the next line of
// the test list: a case prints as its name.
void PrintTo(const FolderCase &c, std::ostream *os) { *os << c.name; }

class ProgramFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolder, EndsInOneSeparator)
{
    const FolderCase &c = GetParam();
    EXPECT_EQ(uimain::CartellaConSeparatore(QString::fromUtf8(c.current), QChar::fromLatin1(c.separator)),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramFolder,
                         ::testing::Values(FolderCase{"DriveRoot", "E:\\", '\\', "E:\\"},
                                           FolderCase{"DriveFolder", "D:\\Dogana\\Corbix", '\\', "D:\\Dogana\\Corbix\\"},
                                           FolderCase{"DriveFolderWithTwoSeparators", "D:\\Dogana\\Corbix\\\\", '\\',
                                                      "D:\\Dogana\\Corbix\\"},
                                           FolderCase{"SeparatorAlone", "\\", '\\', "C:\\"},
                                           FolderCase{"Empty", "", '\\', "C:\\"},
                                           FolderCase{"HostFolder", "/home/u/corbix", '/', "/home/u/corbix/"},
                                           FolderCase{"HostFolderWithTwoSeparators", "/home/u/corbix//", '/', "/home/u/corbix/"},
                                           FolderCase{"HostRoot", "/", '/', "/"}),
                         [](const ::testing::TestParamInfo<FolderCase> &caso) { return std::string(caso.param.name); });

}  // namespace
