// SPDX-License-Identifier: MIT
#pragma once
// Desktop entry files (and the files that share their syntax: file-manager actions, service
// menus, mimeapps.list): building, reading one group, and the quoting of the Exec key.
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

namespace qp {

// The Exec value that starts `program` with the field code (such as "%F"): the program path,
// quoted only when it holds a character that the Exec syntax reserves, as file managers and the
// xdg tools expect.
QString execCommand(const QString& program, const QString& fieldCode);
// The arguments of an Exec value: quoted arguments unescaped, "%%" turned into "%", field codes kept.
QStringList execArguments(const QString& exec);

// A file of groups of keys, written in the order given.
class DesktopFile {
public:
    void addGroup(const QString& name) { m_groups.append({name, {}}); }
    // Adds a key to the last group; string values are escaped (\\, \n, \t, \r).
    void add(const QString& key, const QString& value);
    QString text() const;

private:
    QList<QPair<QString, QList<QPair<QString, QString>>>> m_groups;
};

// The keys of one group of a file with their unescaped values; empty when the file or the group
// does not exist. Localised keys ("Name[de]") are returned under their full name.
QMap<QString, QString> readDesktopGroup(const QString& path, const QString& group);

} // namespace qp
