// SPDX-License-Identifier: MIT
#include "core/render/FontFaces.h"
#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp;

TEST(FontFaces, MissingFaceIsNamedWithTheFaceDrawnInstead)
{
    SettingsModel s;
    s.setText(Setting::label2, "No Such Face Qp");
    EXPECT_FALSE(s.selectFontEntryForLabel());
    const QString drawn = substituteFace(s);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_EQ(drawn, QFontInfo(drawingFace(s)).family());
    EXPECT_NE(drawn, "No Such Face Qp");
    EXPECT_EQ(s.text(Setting::label2), "No Such Face Qp"); // the configured name stays

    EXPECT_EQ(missingFaceNote("Tahoma", "DejaVu Sans", "en"), "Tahoma is not installed: drawn in DejaVu Sans");
    EXPECT_EQ(missingFaceNote("Tahoma", "DejaVu Sans", "de"), "Tahoma ist nicht installiert: gezeichnet in DejaVu Sans");

    // An installed face, and no face at all, need no note.
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    s.setText(Setting::label2, families.first());
    EXPECT_TRUE(substituteFace(s).isEmpty());
    s.setText(Setting::label2, "");
    EXPECT_TRUE(substituteFace(s).isEmpty());
}

TEST(FontFaces, DefaultFaceComesFromTheCompatibilityFontsWhenMissing)
{
    const QString tahoma = QDir(compatibilityFontFolder()).filePath("tahoma.ttf");
    if (!QFile::exists(tahoma))
        GTEST_SKIP() << "no compatibility fonts installed (fonts-wine)";
    if (QFontDatabase::families().contains("Tahoma", Qt::CaseInsensitive))
        GTEST_SKIP() << "Tahoma is installed on this system";

    // Only Tahoma is taken from the folder, and only once.
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(tahoma, folder.filePath("tahoma.ttf")));
    ASSERT_TRUE(QFile::copy(QDir(compatibilityFontFolder()).filePath("marlett.ttf"), folder.filePath("marlett.ttf")));
    EXPECT_FALSE(addDefaultFaceWhenMissing(QTemporaryDir().path()));
    EXPECT_TRUE(addDefaultFaceWhenMissing(folder.path()));
    EXPECT_FALSE(addDefaultFaceWhenMissing(folder.path()));
    EXPECT_TRUE(QFontDatabase::families().contains("Tahoma"));
    EXPECT_FALSE(QFontDatabase::families().contains("Marlett"));

    // The standard face is now drawn as itself.
    SettingsModel s;
    s.setText(Setting::label2, "Tahoma");
    EXPECT_TRUE(s.selectFontEntryForLabel());
    EXPECT_TRUE(substituteFace(s).isEmpty());
    EXPECT_EQ(QFontInfo(drawingFace(s)).family(), "Tahoma");
}

// A family that two foundries make is listed with the foundry ("C059 [urw]"); its bare name, as
// the system's own tools print it, still selects and draws it.
TEST(FontFaces, AFamilyNamedWithoutItsFoundrySelectsIt)
{
    QString listed;
    for (const QString& family : QFontDatabase::families())
        if (family.endsWith(u']') && family.contains(QStringLiteral(" [")))
            listed = family;
    if (listed.isEmpty())
        GTEST_SKIP() << "no family is made by two foundries here";
    const QString bare = listed.left(listed.indexOf(QStringLiteral(" [")));
    EXPECT_FALSE(installedFamily(bare).isEmpty()) << bare.toStdString();
    EXPECT_EQ(installedFamily(listed), listed);
    EXPECT_TRUE(installedFamily(QStringLiteral("No Such Family")).isEmpty());

    SettingsModel settings;
    settings.setText(Setting::label2, bare);
    EXPECT_TRUE(settings.selectFontEntryForLabel());
    EXPECT_TRUE(substituteFace(settings).isEmpty());
    settings.setFontListSelected(true);
    // Drawn in that family (the system names it with one of its foundries).
    const QString drawn = QFontInfo(drawingFace(std::optional<QString>(bare))).family();
    EXPECT_TRUE(drawn == bare || drawn.startsWith(bare + QStringLiteral(" ["))) << drawn.toStdString();
}
