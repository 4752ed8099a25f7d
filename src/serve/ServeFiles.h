// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The files the service reads and keeps. A name given in a configuration may
// lead anywhere: a FIFO nobody writes (open would wait for ever), a device
// (/dev/zero never ends), a folder. The service only ever reads a regular
// file, and only as much of it as it may hold.
namespace ServeFiles {

// What a path is, when it is not a regular file ("a FIFO", "a device", "a
// folder"); empty for a regular file, or for nothing there at all.
QString notRegular(const QString& path);

// The whole of a regular file of at most limit bytes. nullopt, with the
// problem in error (the key and path named: "the password-file /x is a
// FIFO, not a regular file"), for anything else. Never waits on the file.
std::optional<QByteArray> readInput(const QString& what, const QString& path, qint64 limit,
                                    QString* error);

// Whether the text holds at least one certificate in PEM form whose body is
// base64 of a DER sequence: what a CA file must hold before the TLS library
// is given it (its own words for anything else name neither file nor key).
bool holdsPemCertificate(const QByteArray& text);

} // namespace ServeFiles
