#include "ui/dialogs/TfrmConfiguraCores.h"

#include "ui/lists/TCoresEstado.h"

#include "ui/dialogs/TEscolheCor.h"
#include "ui/dialogs/TPosicaoDialogo.h"

#include "settings/TIniFile.h"
#include "settings/TRegrasAlerta.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {

// The five editable rows, in the dialog's order.
struct TLinhaEstado {
    const char* texto;
    TClasseCor classe;
};
const TLinhaEstado kLinhas[] = {{"Livre", TClasseCor::Livre},
                                {"Ocupado", TClasseCor::Ocupado},
                                {"Ocupado na fila", TClasseCor::OcupadoNaFila},
                                {"Em pausa", TClasseCor::EmPausa},
                                {"Indisponível", TClasseCor::Indisponivel}};

const QString kPreferencias = QStringLiteral("Preferencias");

} // namespace

TfrmConfiguraCores::TfrmConfiguraCores(const QString& arquivo, QWidget* parent)
    : QDialog(parent), m_arquivo(arquivo), m_utilizar(new QComboBox), m_estados(new QListWidget),
      m_fundo(new QPushButton(QStringLiteral("Cor de fundo"))),
      m_fonte(new QPushButton(QStringLiteral("Cor da fonte"))),
      m_rotuloAplicar(new QLabel(QStringLiteral("Aplicar esta configuração de cores:"))),
      m_aplicar(new QComboBox), m_alerta(new QPushButton(QStringLiteral("Cor de alerta..."))) {
    setWindowTitle(QStringLiteral("Personalizar cores"));
    setFixedSize(273, 385);
    m_padrao = EsquemaPadrao();
    m_aplicar->addItems({QStringLiteral("Somente nesta fila"),
                         QStringLiteral("Somente nas filas sem configuração própria"),
                         QStringLiteral("Em todas as filas")});
    m_aplicar->setCurrentIndex(-1);
    m_fundo->setEnabled(false);
    m_fonte->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Utilizar cores:")));
    layout->addWidget(m_utilizar);
    auto* cabecalho = new QLabel(QStringLiteral("Estado do atendente"));
    layout->addWidget(cabecalho);
    layout->addWidget(m_estados);
    auto* botoesCor = new QHBoxLayout;
    botoesCor->addWidget(m_fundo);
    botoesCor->addWidget(m_fonte);
    layout->addLayout(botoesCor);
    layout->addWidget(m_alerta);
    layout->addWidget(m_rotuloAplicar);
    layout->addWidget(m_aplicar);
    auto* botoes = new QDialogButtonBox;
    botoes->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    botoes->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    layout->addWidget(botoes);

    for (const TLinhaEstado& linha : kLinhas)
        m_estados->addItem(QString::fromUtf8(linha.texto));
    connect(m_utilizar, &QComboBox::activated, this, &TfrmConfiguraCores::SelecionaUtilizar);
    connect(m_estados, &QListWidget::currentRowChanged, this, &TfrmConfiguraCores::AtualizaBotoes);
    connect(m_fundo, &QPushButton::clicked, this, [this] { EscolheCor(true); });
    connect(m_fonte, &QPushButton::clicked, this, [this] { EscolheCor(false); });
    connect(m_alerta, &QPushButton::clicked, this, [this] {
        if (const std::optional<int> cor = ::EscolheCor(this, m_corAlerta)) AplicaCorAlerta(*cor);
    });
    connect(botoes, &QDialogButtonBox::accepted, this, &TfrmConfiguraCores::OkClick);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TfrmConfiguraCores::ConfiguraParaAtendentes() {
    m_utilizar->clear();
    m_utilizar->addItems(
        {QStringLiteral("Padrão do Monitor Vesmara"), QStringLiteral("Personalizadas")});
    m_rotuloAplicar->hide();
    m_aplicar->hide();
}

void TfrmConfiguraCores::ConfiguraParaFila(const QString& legenda) {
    m_utilizar->clear();
    m_utilizar->addItems({QStringLiteral("Padrão do Monitor Vesmara"),
                          QStringLiteral("Personalizadas"),
                          QStringLiteral("Da tela de Atendentes")});
    m_aplicar->setItemText(0, u"Somente na " + legenda);
    m_rotuloAplicar->show();
    m_aplicar->show();
}

void TfrmConfiguraCores::LeConfigCores(const QString& secao) {
    m_secao = secao;
    const TIniFile ini(m_arquivo);
    // Never stored: centred on the main window rather than at 0, 0.
    constexpr int kSem = std::numeric_limits<int>::min();
    const int left = ini.ReadInteger(kPreferencias, QStringLiteral("TelaConfiguraCoresLeft"), kSem);
    const int top = ini.ReadInteger(kPreferencias, QStringLiteral("TelaConfiguraCoresTop"), kSem);
    PosicionaDialogo(this, left == kSem || top == kSem ? std::nullopt
                                                       : std::optional<QPoint>(QPoint(left, top)));
    m_atendentes = ReadScheme(m_arquivo, QStringLiteral("TelaAtendentes"));
    m_corAlerta = LeCorAlerta(m_arquivo);
    m_corAlertaMudou = false;
    AplicaCorAlerta(m_corAlerta);
    m_corAlertaMudou = false;
    if (secao.compare(u"TelaAtendentes", Qt::CaseInsensitive) == 0) {
        m_editado = m_atendentes;
    } else {
        m_editado = ReadScheme(m_arquivo, kPreferencias);
        const TEsquemaCores proprio = ReadScheme(m_arquivo, secao);
        if (m_editado.CorTodasAsFilas < 2 && proprio.Cor > 0) m_editado = proprio;
    }
    const int escolha = m_editado.Cor >= 1 && m_editado.Cor <= 3 ? m_editado.Cor - 1 : 0;
    SelecionaUtilizar(std::min(escolha, m_utilizar->count() - 1));
}

void TfrmConfiguraCores::SelecionaUtilizar(int escolha) {
    m_utilizar->setCurrentIndex(escolha);
    m_trabalho = escolha == 0 ? m_padrao : escolha == 1 ? m_editado : m_atendentes;
    m_trabalho.Cor = escolha + 1;
    AtualizaBotoes();
    RedesenhaLista();
}

void TfrmConfiguraCores::RedesenhaLista() {
    for (int i = 0; i < m_estados->count(); ++i) {
        QListWidgetItem* item = m_estados->item(i);
        item->setBackground(CorBgr(m_trabalho.CorFundo(kLinhas[i].classe)));
        item->setForeground(CorBgr(m_trabalho.CorFonte(kLinhas[i].classe)));
    }
}

void TfrmConfiguraCores::AtualizaBotoes() {
    const bool pode = m_estados->currentRow() >= 0 && m_utilizar->currentIndex() == 1;
    m_fundo->setEnabled(pode);
    m_fonte->setEnabled(pode);
}

TClasseCor TfrmConfiguraCores::ClasseSelecionada() const {
    const int row = std::clamp(m_estados->currentRow(), 0, int(std::size(kLinhas)) - 1);
    return kLinhas[row].classe;
}

void TfrmConfiguraCores::EscolheCor(bool fundo) {
    const TClasseCor classe = ClasseSelecionada();
    const int atual = fundo ? m_editado.CorFundo(classe) : m_editado.CorFonte(classe);
    if (const std::optional<int> escolhida = ::EscolheCor(this, atual))
        AplicaCor(fundo, *escolhida);
}

void TfrmConfiguraCores::AplicaCor(bool fundo, int cor) {
    const TClasseCor classe = ClasseSelecionada();
    (fundo ? m_editado.CorFundo(classe) : m_editado.CorFonte(classe)) = cor;
    const int modo = m_trabalho.Cor;
    m_trabalho = m_editado;
    m_trabalho.Cor = modo;
    RedesenhaLista();
}

void TfrmConfiguraCores::OkClick() {
    QString secao = m_secao;
    std::optional<int> escopo;
    if (m_aplicar->isVisibleTo(this)) {
        if (m_aplicar->currentIndex() < 0) {
            QMessageBox::critical(
                this, QStringLiteral("Configurar cores"),
                QStringLiteral("Informe onde será aplicada esta configuração de cores."));
            m_aplicar->setFocus();
            return;
        }
        escopo = m_aplicar->currentIndex() == 2 ? 2 : 1;
        if (m_aplicar->currentIndex() > 0) secao = kPreferencias;
    }
    try {
        TEsquemaCores salvo = m_editado;
        salvo.Cor = m_utilizar->currentIndex() + 1;
        if (escopo) {
            if (secao == kPreferencias)
                salvo.CorTodasAsFilas = *escopo;
            else
                TIniFile(m_arquivo).WriteInteger(kPreferencias, QStringLiteral("CorTodasAsFilas"),
                                                 1);
        }
        WriteScheme(m_arquivo, secao, salvo);
        if (m_corAlertaMudou) SalvaCorAlerta(m_arquivo, m_corAlerta);
    } catch (const std::exception& e) {
        QMessageBox::critical(this, QStringLiteral("Configurar cores"),
                              QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

void TfrmConfiguraCores::AplicaCorAlerta(int cor) {
    m_corAlerta = cor & 0xFFFFFF;
    m_corAlertaMudou = true;
    QPixmap amostra(12, 12);
    amostra.fill(CorBgr(m_corAlerta));
    m_alerta->setIcon(QIcon(amostra));
}

void TfrmConfiguraCores::done(int result) {
    try {
        TAlteracoesIni posicao;
        posicao.WriteInteger(kPreferencias, QStringLiteral("TelaConfiguraCoresTop"), y());
        posicao.WriteInteger(kPreferencias, QStringLiteral("TelaConfiguraCoresLeft"), x());
        TIniFile(m_arquivo).Write(posicao);
    } catch (const std::exception&) {
        // The position is a convenience; a settings folder that refuses it changes nothing else.
    }
    QDialog::done(result);
}
