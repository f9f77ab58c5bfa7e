// SPDX-License-Identifier: MIT
// Every format's bytes for a few fixed runs, pinned by their SHA-256. A change to the code that
// moves a single byte of any output file shows here; a change that means to do so rewrites the
// list with QP_UPDATE_GOLDEN=1 and the diff shows which files moved.
//
// The runs mirror the benchmark workloads in small: several lines, one image each; a long line
// wrapped into one image; a fixed page of lines; and a transparent line. They depend on the
// rasteriser and on DejaVu Sans as Debian 12 ships them.
#include "support/CliFixture.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QTextStream>

#include <map>

using namespace qp::testing;

namespace {

struct Workload {
    const char* name;
    QStringList args;
    QByteArray text;
};

const char* const kFormats[] = {"jpg", "png", "gif", "bmp", "dib", "ico", "cur", "psd", "pdd", "tif",
                                "tiff", "jpeg", "jfif", "jpe", "jif", "mng", "jng", "pgm", "ppm", "pam",
                                "pfm", "jp2", "j2k", "j2c", "jpx", "jpc", "dds", "tga"};

QByteArray longLine()
{
    QByteArray line;
    for (int i = 0; line.size() < 600; ++i)
        line += "word" + QByteArray::number(i * 37 % 101) + (i % 7 == 6 ? ", " : " ");
    return line;
}

std::vector<Workload> workloads()
{
    const QStringList face = {"--set", "label2=DejaVu Sans"};
    return {
        {"lines", face + QStringList{"--per-line"}, "Quillpress\nÄrger über Öl\n12345 67890\n"},
        {"wrapped",
         face + QStringList{"--set", "abs_bmax=260", "--set", "rb_alcenter=1", "--set", "cb_bold=1", "--set",
                            "FSize=14"},
         longLine()},
        {"page",
         face + QStringList{"--set", "abstand_fix=1", "--set", "abs_b=320", "--set", "abs_h=240", "--set",
                            "rb_alright=1", "--set", "act_text_fontcolor=#1E3A8A", "--set",
                            "act_text_hintergrund=#FFF7E6", "--set", "rb_drehung_90=1"},
         "First line of the page\nSecond, a little longer line\n\nAfter an empty one\nEnd"},
        {"transparent",
         face + QStringList{"--set", "cb_transparent=1", "--set", "act_text_fontcolor=#C8102E", "--set",
                            "cb_italic=1", "--set", "out_quality=75", "--set", "progressivaktiv=0"},
         "Clear ground"},
    };
}

QString goldenPath() { return QStringLiteral(QP_SOURCE_DIR "/tests/cli/golden-output.txt"); }

// "workload format file" -> hash, as the list holds them.
std::map<QString, QString> readGolden()
{
    std::map<QString, QString> out;
    QFile f(goldenPath());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const int space = line.lastIndexOf(' ');
        out[line.left(space)] = line.mid(space + 1);
    }
    return out;
}

class GoldenOutputTest : public CliFixture {};

} // namespace

TEST_F(GoldenOutputTest, EveryFormatWritesTheSameBytesAsBefore)
{
    std::map<QString, QString> actual;
    for (const Workload& w : workloads()) {
        for (const char* ext : kFormats) {
            const QString folder = work.filePath(QString("%1-%2").arg(w.name, ext));
            const CliRun r = cli(w.args + QStringList{"--no-start-config", "-q", "-o", folder, "-f", ext, "-"}, w.text);
            ASSERT_EQ(r.status, 0) << w.name << " " << ext << ": " << r.err.toStdString();
            QDirIterator files(folder, QDir::Files);
            int count = 0;
            while (files.hasNext()) {
                QFile f(files.next());
                ASSERT_TRUE(f.open(QIODevice::ReadOnly));
                const QByteArray hash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
                actual[QString("%1 %2 %3").arg(w.name, ext, files.fileName())] = QString::fromLatin1(hash);
                ++count;
            }
            EXPECT_GT(count, 0) << w.name << " " << ext;
        }
    }

    if (qEnvironmentVariableIsSet("QP_UPDATE_GOLDEN")) {
        QFile f(goldenPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
        QTextStream out(&f);
        out << "# workload format file sha256; written by GoldenOutputTest with QP_UPDATE_GOLDEN=1\n";
        for (const auto& [key, hash] : actual)
            out << key << ' ' << hash << '\n';
        GTEST_SKIP() << "rewrote " << goldenPath().toStdString();
    }

    const std::map<QString, QString> golden = readGolden();
    ASSERT_FALSE(golden.empty()) << "no list at " << goldenPath().toStdString();
    for (const auto& [key, hash] : golden) {
        const auto it = actual.find(key);
        if (it == actual.end())
            ADD_FAILURE() << key.toStdString() << ": not written";
        else
            EXPECT_EQ(it->second, hash) << key.toStdString();
    }
    for (const auto& [key, hash] : actual)
        EXPECT_TRUE(golden.count(key)) << key.toStdString() << ": written, not in the list";
}
