#include "base/ActionText.h"

TUnsafeValueError::TUnsafeValueError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

bool IsSafeActionValue(QStringView value) {
    for (QChar c : value)
        if (c == u'\r' || c == u'\n' || c == u'\0') return false;
    return true;
}

bool IsSafeFilterValue(QStringView value) {
    for (QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == u'"' || u == u'\'' || u == u'`' || u == u'\\')
            return false;
    }
    return true;
}

const QString& ActionValue(const QString& value) {
    if (!IsSafeActionValue(value))
        throw TUnsafeValueError(QStringLiteral("Valor inválido para envio ao servidor: contém "
                                               "quebra de linha ou caractere nulo"));
    return value;
}

const QString& FilterValue(const QString& value) {
    if (!IsSafeFilterValue(value))
        throw TUnsafeValueError(QStringLiteral("Valor inválido para consulta ao servidor: contém "
                                               "aspas, barra invertida ou caractere de controle"));
    return value;
}

TActionText::TActionText(QStringView action) {
    m_text.reserve(128);
    Add(u"Action", action.toString());
}

TActionText& TActionText::Add(QStringView key, const QString& value) {
    m_text += key;
    m_text += u": ";
    m_text += ActionValue(value);
    m_text += u"\r\n";
    return *this;
}

TActionText& TActionText::AddColado(QStringView key, const QString& value) {
    m_text += key;
    m_text += u':';
    m_text += ActionValue(value);
    m_text += u"\r\n";
    return *this;
}

QString Action(QStringView action, std::initializer_list<std::pair<QStringView, QString>> lines) {
    TActionText text(action);
    for (const auto& [key, value] : lines)
        text.Add(key, value);
    return text.Text();
}
