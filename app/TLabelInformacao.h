#pragma once

#include <QLabel>

// The information label of the connection and login dialogs: texts that begin with "ERRO" (in
// any letter case) show in red, all others in blue; a text wider than the label is cut and
// ends in "...".
class TLabelInformacao : public QLabel {
    Q_OBJECT
public:
    explicit TLabelInformacao(QWidget* parent = nullptr);
    void SetTexto(const QString& text);
    // The text as the label shows it at the given width (the shortening rule), for tests.
    static QString Encurta(const QString& text, const QFontMetrics& metrics, int width);
    static bool EhErro(const QString& text);
    QString TextoCompleto() const { return m_texto; }

protected:
    // The label may be laid out after the text arrived: the shortening follows its width.
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_texto;
};
