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
