#include "app/TLabelInformacao.h"

#include <QFontMetrics>

TLabelInformacao::TLabelInformacao(QWidget* parent) : QLabel(parent) {
    QFont f = font();
    f.setBold(true);
    setFont(f);
    setAlignment(Qt::AlignCenter);
}

bool TLabelInformacao::EhErro(const QString& text) {
    return text.left(4).toUpper() == u"ERRO";
}

QString TLabelInformacao::Encurta(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    QString t = text;
    while (metrics.horizontalAdvance(t) > width && t.size() >= 21)
        t.chop(1);
    t.chop(2);
    return t + u"...";
}

void TLabelInformacao::SetTexto(const QString& text) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, EhErro(text) ? QColor(Qt::red) : QColor(Qt::blue));
    setPalette(p);
    setToolTip(text);
    m_texto = text;
    setText(Encurta(text, fontMetrics(), width()));
    repaint();
}

void TLabelInformacao::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    setText(Encurta(m_texto, fontMetrics(), width()));
}
