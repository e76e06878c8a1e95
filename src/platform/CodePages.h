#pragma once
// Single-byte code pages: Windows-1252 (the "ANSI" page) and code page 437
// (the "OEM" page of DOS strings).
#include <QByteArray>
#include <QString>

namespace vela {

QString AnsiToString(const QByteArray& bytes);
QByteArray StringToAnsi(const QString& text);  // unmappable characters become '?'
QString OemToString(const QByteArray& bytes);
QByteArray StringToOem(const QString& text);   // unmappable characters become '?'

}  // namespace vela
