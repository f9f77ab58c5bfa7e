// SPDX-License-Identifier: MIT
// Fuzzes the configuration file reader: any bytes as a .qpcf file are loaded into the settings and
// saved again; loading must never crash, and a save followed by a load must give the same settings.
#include "core/settings/Configuration.h"
#include "core/settings/SettingsModel.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QString snapshot(const qp::SettingsModel& s)
{
    QString out;
    for (const qp::SettingDef& d : qp::SettingsModel::definitions())
        out += QString::fromLatin1(d.name) + u'=' + s.text(d.key) + u'\n';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString in = dir.path() + QStringLiteral("/in.qpcf");
    const QString out = dir.path() + QStringLiteral("/out.qpcf");
    QFile::remove(in);
    QFile::remove(out);
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    qp::SettingsModel loaded(dir.path());
    qp::KonfigurationLaden(loaded, qp::ConfigurationCaller::Menu, in);
    qp::KonfigurationSpeichern(loaded, out);
    qp::SettingsModel again(dir.path());
    qp::KonfigurationLaden(again, qp::ConfigurationCaller::Menu, out);
    // Line breaks inside values are written as spaces; everything else must come back.
    QString a = snapshot(loaded);
    QString b = snapshot(again);
    a.replace(u'\r', u' ');
    if (a != b && a.count(u'\n') == b.count(u'\n')) {
        // Values that held line breaks differ only there.
        const QStringList la = a.split(u'\n');
        const QStringList lb = b.split(u'\n');
        for (qsizetype i = 0; i < la.size(); ++i) {
            QString x = la[i];
            if (x != lb[i] && x.replace(u'\n', u' ') != lb[i])
                std::abort();
        }
    }
    return 0;
}
