#include "ui/windows/TfrmLog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace {
QString HoraLonga() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}
} // namespace

TfrmLog::TfrmLog(QWidget* parent)
    : QWidget(parent), m_memo(new QPlainTextEdit(this)),
      m_debug(new QCheckBox(QStringLiteral("Debug"), this)),
      m_debugPacotes(new QCheckBox(QStringLiteral("Debug pacotes"), this)),
      m_mostrar(new QPushButton(QStringLiteral("Mostrar"), this)), m_itens(new QComboBox(this)) {
    setObjectName(QStringLiteral("frmLog"));
    setWindowTitle(QStringLiteral("Debug"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(674, 480);

    QFont mono(QStringLiteral("Courier New"), 9);
    mono.setStyleHint(QFont::Monospace);
    if (!QFontDatabase::families().contains(mono.family()))
        mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_memo->setFont(mono);
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_itens->addItems({QStringLiteral("Tudo"), QStringLiteral("Canais"), QStringLiteral("Ligações"),
                       QStringLiteral("Ramais"), QStringLiteral("Portas"),
                       QStringLiteral("Troncos"), QStringLiteral("Filas"),
                       QStringLiteral("Atendentes"), QStringLiteral("Campanhas"),
                       QStringLiteral("Chat"), QStringLiteral("InfoGeral")});
    m_itens->setCurrentIndex(-1);

    auto* panel = new QWidget(this);
    panel->setFixedHeight(33);
    auto* top = new QHBoxLayout(panel);
    top->setContentsMargins(4, 2, 4, 2);
    top->addWidget(m_debug);
    top->addWidget(m_debugPacotes);
    top->addWidget(m_mostrar);
    top->addWidget(m_itens);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(m_memo);

    connect(m_debug, &QCheckBox::toggled, this, &TfrmLog::OpcoesMudaram);
    connect(m_debugPacotes, &QCheckBox::toggled, this, &TfrmLog::OpcoesMudaram);
    connect(m_mostrar, &QPushButton::clicked, this, [this] {
        if (m_itens->currentIndex() >= 0) Q_EMIT MostrarClicado(m_itens->currentText());
    });
}

bool TfrmLog::DebugMarcado() const {
    return m_debug->isChecked();
}
bool TfrmLog::DebugPacotesMarcado() const {
    return m_debugPacotes->isChecked();
}
void TfrmLog::SetDebug(bool on) {
    m_debug->setChecked(on);
}
void TfrmLog::SetDebugPacotes(bool on) {
    m_debugPacotes->setChecked(on);
}
QString TfrmLog::ItemSelecionado() const {
    return m_itens->currentIndex() >= 0 ? m_itens->currentText() : QString();
}

void TfrmLog::Loga(const QString& text) {
    if (!DebugMarcado()) return;
    m_memo->appendPlainText(HoraLonga() + u" - " + text);
    AplicaLimite();
}

void TfrmLog::LogaPacote(const QString& packet) {
    if (!DebugPacotesMarcado()) return;
    m_memo->appendPlainText(HoraLonga());
    QString body = packet;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (body.endsWith(u'\n')) body.chop(1);
    m_memo->appendPlainText(body);
    AplicaLimite();
}

void TfrmLog::Adiciona(const QString& text) {
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (body.endsWith(u'\n')) body.chop(1);
    if (body.isEmpty()) return;
    m_memo->appendPlainText(body);
    AplicaLimite();
}

void TfrmLog::AplicaLimite() {
    if (m_memo->blockCount() > kMaxLinhas) m_memo->clear();
}
