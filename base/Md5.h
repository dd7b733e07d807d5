#pragma once

#include <QString>

// RFC 1321 digest of the text's UTF-8 bytes as 32 lower-case hexadecimal digits (the platform
// stores user passwords this way).
QString Md5Hex(const QString& text);
