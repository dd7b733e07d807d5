#pragma once

#include <QColor>
#include <QList>
#include <QTextBrowser>

// One run of a line: its text and how it is drawn.
struct TTrechoTexto {
    QString Texto;
    QColor Cor = Qt::black;
    bool Negrito = false;
    bool Sublinhado = false;
    // Point size; 0 keeps the pane's.
    int Tamanho = 0;
};

// The read-only message pane of the chat windows. Bodies come from other people and from the
// server, so text is only ever inserted as plain text (no markup is interpreted and no link is
// followed). A new line keeps a reader's place in older lines and follows the end only while
// the reader is at the end; every new line is announced to assistive technology.
class TTextoChat : public QTextBrowser {
    Q_OBJECT
public:
    explicit TTextoChat(QWidget* parent = nullptr);

    // Appends one line made of the runs; returns the position where it starts. A line that is
    // only decoration is not announced.
    int AdicionaLinha(const QList<TTrechoTexto>& trechos, bool anuncia = true);
    // Restyles `tamanho` characters from `inicio` (positions as returned above).
    void Formata(int inicio, int tamanho, const TTrechoTexto& estilo);
    // Replaces `tamanho` characters from `inicio` by a text of the same length.
    void Substitui(int inicio, int tamanho, const TTrechoTexto& novo);
    void Limpa();
    // Plain text of the whole pane (tests, screen readers).
    QString Texto() const { return toPlainText(); }
    // Whether the view shows the last line.
    bool NoFim() const;

private:
    static QTextCharFormat Formato(const TTrechoTexto& t);
};
