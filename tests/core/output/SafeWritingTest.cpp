// SPDX-License-Identifier: MIT
#include "codec/ImageData.h"
#include "core/i18n/Language.h"
#include "core/i18n/SystemErrors.h"
#include "core/output/SafeFileWriter.h"
#include "core/output/StoreImage.h"
#include "support/SystemPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <QDateTime>
#include <cerrno>
#include <ctime>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace qp;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

imaging::TImageData smallImage()
{
    imaging::TImageData image;
    imaging::NewImageData(3, 2, imaging::ifR8G8B8, image);
    for (size_t i = 0; i < image.Bits.size(); ++i)
        image.Bits[i] = static_cast<uint8_t>(i * 13);
    return image;
}

} // namespace

TEST(SafeFileWriter, NeverReplacesAndLeavesNoTemporaryFiles)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/a.bin";
    EXPECT_EQ(writeNewFile(path, {1, 2, 3}), WriteOutcome::Written);
    EXPECT_EQ(readAll(path), QByteArray("\x01\x02\x03", 3));
    EXPECT_EQ(writeNewFile(path, {9}), WriteOutcome::NameTaken);
    EXPECT_EQ(readAll(path), QByteArray("\x01\x02\x03", 3));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// A folder or a link holds its name as a file does, a link whatever it points to.
TEST(SafeFileWriter, FoldersAndLinksTakeTheirNames)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    ASSERT_TRUE(QDir(d).mkdir(QStringLiteral("folder")));
    ASSERT_TRUE(QFile::link(d + QStringLiteral("/nowhere"), d + QStringLiteral("/dangling")));
    ASSERT_TRUE(QFile::link(d + QStringLiteral("/folder"), d + QStringLiteral("/tofolder")));
    for (const char* name : {"folder", "dangling", "tofolder"})
        EXPECT_EQ(writeNewFile(d + QLatin1Char('/') + QLatin1String(name), {7}), WriteOutcome::NameTaken) << name;
    EXPECT_FALSE(QFileInfo::exists(d + QStringLiteral("/nowhere")));
    EXPECT_TRUE(QDir(d + QStringLiteral("/folder")).isEmpty());
}

#ifndef Q_OS_WIN // Unix file modes
TEST(SafeFileWriter, NewFilesFollowTheFileCreationMask)
{
    QTemporaryDir dir;
    for (const mode_t mask : {mode_t(022), mode_t(077), mode_t(002)}) {
        const mode_t old = ::umask(mask);
        const QString path = dir.path() + QStringLiteral("/m%1.bin").arg(mask, 3, 8, QLatin1Char('0'));
        ASSERT_EQ(writeNewFile(path, {1}), WriteOutcome::Written);
        ::umask(old);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << path.toStdString();
    }
}
#endif

TEST(SafeFileWriter, FailureLeavesNothingBehind)
{
    QTemporaryDir dir;
    EXPECT_THROW(writeNewFile(dir.path() + "/missing/a.bin", {1}), FileWriteError);
#ifndef Q_OS_WIN // folder permissions
    if (geteuid() != 0) { // root may write anywhere
        const QString locked = dir.path() + "/locked";
        QDir().mkdir(locked);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_THROW(writeNewFile(locked + "/a.bin", {1}), FileWriteError);
        EXPECT_TRUE(QDir(locked).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
#endif
}

// The named way (file systems without nameless files) writes the same and leaves nothing; what a
// killed writer left is removed once no one holds it and it is old enough.
TEST(SafeFileWriter, NamedTemporariesAndTheirLeftovers)
{
    QTemporaryDir dir;
    useUnnamedTemporaryFiles(false);
    const WriteOutcome named = writeNewFile(dir.path() + "/n.bin", {4, 5});
    useUnnamedTemporaryFiles(true);
    EXPECT_EQ(named, WriteOutcome::Written);
    EXPECT_EQ(readAll(dir.path() + "/n.bin"), QByteArray("\x04\x05", 2));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"n.bin"}));

    const auto leftover = [&](const char* name, bool old) {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        if (old) {
            EXPECT_TRUE(f.open(QIODevice::ReadWrite));
            EXPECT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
            f.close();
        }
        return path;
    };
    const QString stale = leftover(".quillpress-aaaaaa.part", true);
    const QString held = leftover(".quillpress-bbbbbb.part", true);
    const QString fresh = leftover(".quillpress-cccccc.part", false);
    const QString other = leftover(".other-dddddd.part", true);
    // A running writer holds its file locked (Windows: open for itself alone).
#ifdef Q_OS_WIN
    const HANDLE lock = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(held).utf16()), GENERIC_WRITE,
                                    0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    removeLeftoverTemporaries(dir.path());
    CloseHandle(lock);
#else
    const int lock = ::open(QFile::encodeName(held).constData(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    removeLeftoverTemporaries(dir.path());
    ::close(lock);
#endif
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(held));
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_TRUE(QFile::exists(dir.path() + "/n.bin"));
}

TEST(StoreImageFile, WriterChosenByExtension)
{
    QTemporaryDir dir;
    const imaging::TImageData image = smallImage();
    const QByteArray before(reinterpret_cast<const char*>(image.Bits.data()), image.Size);

    EXPECT_TRUE(StoreImageFile(dir.path() + "/a.PNG", image));
    EXPECT_TRUE(readAll(dir.path() + "/a.PNG").startsWith("\x89PNG"));
    EXPECT_TRUE(StoreImageFile(dir.path() + "/b.Jpg", image));
    EXPECT_TRUE(readAll(dir.path() + "/b.Jpg").startsWith("\xFF\xD8"));
    EXPECT_TRUE(StoreImageFile(dir.path() + "/c.dib", image));
    EXPECT_TRUE(readAll(dir.path() + "/c.dib").startsWith("BM"));
    // The caller's pixels are untouched.
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(image.Bits.data()), image.Size), before);

    // No writer: false and no file.
    EXPECT_FALSE(StoreImageFile(dir.path() + "/d.xyz", image));
    EXPECT_FALSE(StoreImageFile(dir.path() + "/noext", image));
    EXPECT_FALSE(QFile::exists(dir.path() + "/d.xyz"));
    // An invalid record is never written.
    EXPECT_FALSE(StoreImageFile(dir.path() + "/e.png", imaging::TImageData{}));
    EXPECT_FALSE(QFile::exists(dir.path() + "/e.png"));
}

TEST(StoreImageFile, TakenNameAsksForTheNextOne)
{
    QTemporaryDir dir;
    const QString taken = dir.path() + "/x.bmp";
    ASSERT_EQ(writeNewFile(taken, {7}), WriteOutcome::Written);
    QString written;
    EXPECT_TRUE(StoreImageFile(taken, smallImage(), [&] { return dir.path() + "/x1.bmp"; }, &written));
    EXPECT_EQ(written, dir.path() + "/x1.bmp");
    EXPECT_EQ(readAll(taken), QByteArray("\x07", 1));
    EXPECT_THROW(StoreImageFile(taken, smallImage()), StoreError);
}

TEST(StoreImageFile, UpperExtensionRule)
{
    EXPECT_EQ(upperExtension("/a/b.c/name"), "");
    EXPECT_EQ(upperExtension("/a/b/name.tar.Gz"), ".GZ");
    EXPECT_EQ(upperExtension("C:\\x.y\\name"), "");
    EXPECT_EQ(upperExtension("/a/.png"), ".PNG");
}

// A failed write names what failed and why in the interface language, whichever way the file is
// written; the cause comes from the program's own texts, not from the C library's locale.
struct WriteFailureCase {
    const char* name;
    bool unnamed;
    const char* language;
    const char* missingFolder;   // the message (%1: the folder) when the folder does not exist
    const char* fileAsFolder;    // the message when the folder is a file
};

class WriteFailureTest : public ::testing::TestWithParam<WriteFailureCase> {
protected:
    void TearDown() override
    {
        useUnnamedTemporaryFiles(true);
        Language::setCode("en");
    }
};

TEST_P(WriteFailureTest, CauseFollowsTheInterfaceLanguage)
{
    const WriteFailureCase& c = GetParam();
    useUnnamedTemporaryFiles(c.unnamed);
    Language::setCode(c.language);
    QTemporaryDir dir;
    QFile file(dir.path() + "/file");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const auto messageFor = [](const QString& path) {
        try {
            writeNewFile(path, {1, 2, 3});
        } catch (const FileWriteError& e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    };
#ifdef Q_OS_WIN
    // Windows reports a file on the way to a folder as a path that does not exist.
    const char* fileAsFolder = c.missingFolder;
#else
    const char* fileAsFolder = c.fileAsFolder;
#endif
    const QString missing = test::nativePath(dir.path() + "/missing");
    const QString notAFolder = test::nativePath(dir.path() + "/file");
    EXPECT_EQ(messageFor(dir.path() + "/missing/a.bin"), QString::fromUtf8(c.missingFolder).arg(missing));
    EXPECT_EQ(messageFor(dir.path() + "/file/a.bin"), QString::fromUtf8(fileAsFolder).arg(notAFolder));
}

INSTANTIATE_TEST_SUITE_P(
    WaysAndLanguages, WriteFailureTest,
    ::testing::Values(
        WriteFailureCase{"UnnamedGerman", true, "de",
                         "Im Ordner \"%1\" kann keine Datei angelegt werden: Datei oder Ordner nicht vorhanden",
                         "Im Ordner \"%1\" kann keine Datei angelegt werden: Kein Ordner"},
        WriteFailureCase{"UnnamedEnglish", true, "en",
                         "Cannot create a file in \"%1\": No such file or directory",
                         "Cannot create a file in \"%1\": Not a directory"},
        WriteFailureCase{"NamedGerman", false, "de",
                         "Im Ordner \"%1\" kann keine Datei angelegt werden: Datei oder Ordner nicht vorhanden",
                         "Im Ordner \"%1\" kann keine Datei angelegt werden: Kein Ordner"},
        WriteFailureCase{"NamedEnglish", false, "en",
                         "Cannot create a file in \"%1\": No such file or directory",
                         "Cannot create a file in \"%1\": Not a directory"}),
    [](const auto& info) { return std::string(info.param.name); });

// The table of causes answers in both languages; a number it does not know still says which.
TEST(SystemErrors, CausesInBothLanguages)
{
    EXPECT_EQ(systemErrorText(EACCES, "de"), "Keine Berechtigung");
    EXPECT_EQ(systemErrorText(EACCES, "en"), "Permission denied");
    EXPECT_EQ(systemErrorText(ENOSPC, "de"), QString::fromUtf8("Kein Platz mehr auf dem Ger\u00e4t"));
    EXPECT_EQ(systemErrorText(EROFS, "en"), "Read-only file system");
    const QString unknown = systemErrorText(ECHILD, "de");
    EXPECT_TRUE(unknown.startsWith(QString("Systemfehler %1 (").arg(ECHILD))) << unknown.toStdString();
}
