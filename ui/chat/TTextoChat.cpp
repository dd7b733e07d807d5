#include "ui/chat/TTextoChat.h"

#include <QAccessible>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {
// How close to the end (in pixels) still counts as reading the end.
constexpr int kFolgaFim = 4;
constexpr int kMaxDescricao = 500;
} // namespace

TTextoChat::TTextoChat(QWidget* parent) : QTextBrowser(parent) {
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

QTextCharFormat TTextoChat::Formato(const TTrechoTexto& t) {
    QTextCharFormat f;
    f.setForeground(t.Cor);
    f.setFontWeight(t.Negrito ? QFont::Bold : QFont::Normal);
    f.setFontUnderline(t.Sublinhado);
    if (t.Tamanho > 0) f.setFontPointSize(t.Tamanho);
    return f;
}

bool TTextoChat::NoFim() const {
    const QScrollBar* barra = verticalScrollBar();
    return barra->value() >= barra->maximum() - kFolgaFim;
}

int TTextoChat::AdicionaLinha(const QList<TTrechoTexto>& trechos, bool anuncia) {
    QScrollBar* barra = verticalScrollBar();
    const bool noFim = NoFim();
    const int antes = barra->value();
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    if (!document()->isEmpty()) c.insertBlock();
    const int inicio = c.position();
    QString lido;
    for (const TTrechoTexto& t : trechos) {
        c.insertText(t.Texto, Formato(t));
        lido += t.Texto;
    }
    if (noFim) {
        barra->setValue(barra->maximum());
        // The caret follows the end while the reader does.
        QTextCursor fim(document());
        fim.movePosition(QTextCursor::End);
        setTextCursor(fim);
    } else {
        barra->setValue(antes);
    }
    if (anuncia && !lido.trimmed().isEmpty()) {
        // The newest line is the pane's description too: a reader that does not follow text
        // insertions still hears it as a description change.
        setAccessibleDescription(u"Última linha: " + lido.left(kMaxDescricao));
        if (QAccessible::isActive()) {
            QAccessibleTextInsertEvent ev(this, inicio, lido);
            QAccessible::updateAccessibility(&ev);
        }
    }
    return inicio;
}

void TTextoChat::Formata(int inicio, int tamanho, const TTrechoTexto& estilo) {
    if (inicio < 0 || tamanho <= 0) return;
    QTextCursor c(document());
    c.setPosition(std::min(inicio, document()->characterCount() - 1));
    c.setPosition(std::min(inicio + tamanho, document()->characterCount() - 1),
                  QTextCursor::KeepAnchor);
    c.mergeCharFormat(Formato(estilo));
}

void TTextoChat::Substitui(int inicio, int tamanho, const TTrechoTexto& novo) {
    if (inicio < 0 || tamanho <= 0 || inicio + tamanho >= document()->characterCount()) return;
    const int antes = verticalScrollBar()->value();
    QTextCursor c(document());
    c.setPosition(inicio);
    c.setPosition(inicio + tamanho, QTextCursor::KeepAnchor);
    c.insertText(novo.Texto, Formato(novo));
    verticalScrollBar()->setValue(antes);
}

void TTextoChat::Limpa() {
    clear();
    setAccessibleDescription({});
}
