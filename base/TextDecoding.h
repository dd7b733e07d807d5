#pragma once

#include <QByteArrayView>
#include <QString>

// Text from the server and from settings files written by older Windows installations may be
// UTF-8 or the Windows-1252 code page. Valid UTF-8 is taken as UTF-8; anything else is read as
// Windows-1252, which maps every byte to a character, so no byte sequence is ever rejected.
QString DecodeText(QByteArrayView bytes);

// Windows-1252 for one byte (0x80..0x9F hold the typographic characters; the rest is Latin-1).
QChar Windows1252Char(unsigned char byte);

// Encodes for the wire: UTF-8, the server's and our own settings files' encoding.
QByteArray EncodeText(const QString& text);
