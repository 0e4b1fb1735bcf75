#include "platform/workstation.h"
#include "support/doubles/fixedworkstationsource.h"

#include <QSysInfo>
#include <gtest/gtest.h>

namespace {

TEST(Workstation, NamesAreTrimmedAndKeptWhole)
{
    const struct {
        std::optional<QString> host, user;
        const char *computer, *userName;
    } cases[] = {
        {QStringLiteral("PC-UFFICIO-2"), QStringLiteral("mario"), "PC-UFFICIO-2", "mario"},
        {QStringLiteral("  PC1 "), QStringLiteral(" mario  "), "PC1", "mario"},
        {QStringLiteral("   "), QStringLiteral(""), "", ""},
        {std::nullopt, std::nullopt, "???", "??"},
    };
    for (const auto &c : cases) {
        platform::FixedWorkstationSource source(c.host, c.user);
        platform::ScopedWorkstationSource scoped(source);
        EXPECT_EQ(platform::computerName(), QString::fromLatin1(c.computer));
        EXPECT_EQ(platform::userName(), QString::fromLatin1(c.userName));
    }
}

TEST(Workstation, SystemSourceReadsTheHostName)
{
    EXPECT_EQ(platform::SystemWorkstationSource().hostName().value_or(QString()), QSysInfo::machineHostName());
    EXPECT_TRUE(platform::SystemWorkstationSource().logonUser().has_value());
}

TEST(Workstation, GuardPutsThePreviousSourceBack)
{
    platform::WorkstationSource *before = &platform::workstationSource();
    {
        platform::FixedWorkstationSource source(QStringLiteral("A"), QStringLiteral("b"));
        platform::ScopedWorkstationSource scoped(source);
        EXPECT_EQ(&platform::workstationSource(), &source);
    }
    EXPECT_EQ(&platform::workstationSource(), before);
}

}  // namespace
