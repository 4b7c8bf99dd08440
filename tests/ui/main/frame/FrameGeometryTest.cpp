// The frame's stored place: twips, the lost-position rule and what a close writes.
#include "TestEnv.h"
#include "platform/ProfileIni.h"
#include "ui/main/frame/FrameGeometry.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

struct Ini
{
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/settings.ini");
    void set(const char *key, const QString &v)
    {
        ProfileIni::writeString(path, QStringLiteral("frmMainMDI"), QString::fromLatin1(key), v);
    }
    QString get(const char *key) const
    {
        return ProfileIni::readString(path, QStringLiteral("frmMainMDI"), QString::fromLatin1(key),
                                      QStringLiteral("<none>"));
    }
};

} // namespace

TEST(FrameGeometry, TwipsAtTheScreensDpiAndTheLostLimit)
{
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(TwipsToPixels(13000, 120), 1083);
    EXPECT_EQ(PixelsToTwips(96, 96), 1440);
    const FramePlacement p{fwsNormal, 1200, 900, 14400, 9000}; // whole pixels at 96 DPI
    EXPECT_EQ(PixelsToPlacement(PlacementToPixels(p, 96), fwsNormal, 96), p);

    EXPECT_FALSE(bIsLostPosition(fwsNormal, 99000));
    EXPECT_TRUE(bIsLostPosition(fwsNormal, 99001));
    EXPECT_FALSE(bIsLostPosition(fwsMaximized, 200000));
}

TEST(FrameGeometry, ReadingKeepsDefaultsForMissingBadAndLostValues)
{
    Ini ini;
    EXPECT_EQ(ReadFramePlacement(ini.path), FramePlacement{});
    EXPECT_TRUE(ReadFirstTimeUser(ini.path));

    ini.set("Left", QStringLiteral("1200"));
    ini.set("Top", QStringLiteral("900"));
    ini.set("Width", QStringLiteral("wide"));
    ini.set("Height", QStringLiteral("9000"));
    ini.set("WindowState", QStringLiteral("2"));
    EXPECT_EQ(ReadFramePlacement(ini.path), (FramePlacement{fwsMaximized, 1200, 900, 13000, 9000}));

    // A stored lost position would restore itself: the defaults come instead. At the limit it
    // is kept.
    ini.set("Top", QStringLiteral("99000"));
    EXPECT_EQ(ReadFramePlacement(ini.path).top, 99000);
    ini.set("Top", QStringLiteral("99001"));
    ini.set("WindowState", QStringLiteral("0"));
    EXPECT_EQ(ReadFramePlacement(ini.path), FramePlacement{});

    // A frame stored minimised opens normal.
    ini.set("WindowState", QStringLiteral("1"));
    EXPECT_EQ(ReadFramePlacement(ini.path).windowState, fwsNormal);

    ini.set("bFirstTimeUser", QStringLiteral("true"));
    EXPECT_FALSE(ReadFirstTimeUser(ini.path));
}

TEST(FrameGeometry, SavingNormalMinimisedAndMaximised)
{
    Ini ini;
    SaveFramePlacement(ini.path, false, {fwsNormal, 1200, 900, 14000, 9000});
    EXPECT_EQ(ini.get("bFirstTimeUser"), QStringLiteral("False"));
    EXPECT_EQ(ini.get("WindowState"), QStringLiteral("0"));
    EXPECT_EQ(ini.get("Left"), QStringLiteral("1200"));
    EXPECT_EQ(ini.get("Top"), QStringLiteral("900"));
    EXPECT_EQ(ini.get("Width"), QStringLiteral("14000"));
    EXPECT_EQ(ini.get("Height"), QStringLiteral("9000"));

    // Maximised: the state only; the last normal geometry stays in the file.
    SaveFramePlacement(ini.path, true, {fwsMaximized, 0, 0, 30000, 20000});
    EXPECT_EQ(ini.get("WindowState"), QStringLiteral("2"));
    EXPECT_EQ(ini.get("Width"), QStringLiteral("14000"));
    EXPECT_EQ(ini.get("bFirstTimeUser"), QStringLiteral("True"));

    // Minimised: stored as a normal window at its normal place.
    SaveFramePlacement(ini.path, true, {fwsMinimized, 300, 400, 10000, 7000});
    EXPECT_EQ(ini.get("WindowState"), QStringLiteral("0"));
    EXPECT_EQ(ini.get("Left"), QStringLiteral("300"));
    EXPECT_EQ(ini.get("Height"), QStringLiteral("7000"));
}
