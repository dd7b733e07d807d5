// Threshold alerts in the frame: the "Alertas" window and its "Exibir" entry, the rules dialog
// under "Ferramentas", and the desktop notification of new alerts.
#include "app/TfrmMain.h"

#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "ui/dialogs/TfrmRegrasAlerta.h"
#include "ui/windows/TfrmAgentes.h"
#include "ui/windows/TfrmAlertas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

// Alerts that start while the frame is not the active window go through the throttle; what it
// lets through once a second is shown by the system tray (and beeps when the user asked).
class TNotificadorAlertas : public QObject {
public:
    TNotificadorAlertas(TfrmMain* frame, TMonitor* monitor)
        : QObject(frame), m_frame(frame), m_monitor(monitor) {
        m_relogio.start();
        m_aviso = monitor->Avisos().Alerta.Assina([this](const TAlerta* a, TAvisoAlerta k) {
            if (k != TAvisoAlerta::Comecou || !m_monitor->OpcoesAlerta.Notificar) return;
            if (m_frame->isActiveWindow()) return;
            m_limitador.Comecou(*a, Segundos());
        });
        m_timer.setInterval(1000);
        connect(&m_timer, &QTimer::timeout, this, [this] { Mostra(); });
        m_timer.start();
    }

private:
    double Segundos() const { return double(m_relogio.elapsed()) / 1000.0; }
    void Mostra() {
        TLimitadorNotificacoes::TNotificacao n;
        if (!m_limitador.Proxima(Segundos(), n)) return;
        if (m_monitor->OpcoesAlerta.Som) QApplication::beep();
        if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
        if (!m_bandeja) {
            m_bandeja = new QSystemTrayIcon(m_frame->windowIcon(), this);
            m_bandeja->setToolTip(QStringLiteral("Monitor Vesmara"));
            connect(m_bandeja, &QSystemTrayIcon::messageClicked, m_frame, [this] {
                m_frame->showNormal();
                m_frame->activateWindow();
                m_frame->CriaTelaAlertas();
            });
            m_bandeja->show();
        }
        m_bandeja->showMessage(n.Titulo, n.Texto, QSystemTrayIcon::Warning, 10000);
    }

    TfrmMain* m_frame;
    TMonitor* m_monitor;
    TLimitadorNotificacoes m_limitador;
    TAssinatura m_aviso;
    QElapsedTimer m_relogio;
    QTimer m_timer;
    QSystemTrayIcon* m_bandeja = nullptr;
};

} // namespace

void TfrmMain::CriaMenuFerramentasAlertas(QMenu* ferramentas) {
    ferramentas->addAction(QStringLiteral("Regras de &alerta..."), this,
                           &TfrmMain::MenuRegrasAlertaClick);
    new TNotificadorAlertas(this, m_monitor);
}

void TfrmMain::CriaMenuAlertas(const QStringList& telasAbrir) {
    m_menuExibir->addAction(QStringLiteral("Alertas"), this, [this] { CriaTelaAlertas(); });
    if (telasAbrir.contains(QStringLiteral("Alertas"))) CriaTelaAlertas();
}

TfrmAlertas* TfrmMain::CriaTelaAlertas() {
    const QString name = QStringLiteral("Alertas");
    if (QMdiSubWindow* sub = ProcuraSubJanela(name)) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmAlertas*>(sub->widget());
    }
    auto* janela = new TfrmAlertas(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, name);
    connect(janela, &TfrmAlertas::AbreFila, this, [this](TFila* f) { CriaTelaFila(f); });
    connect(janela, &TfrmAlertas::AbreAgente, this, [this](TAgente* a) {
        if (TfrmAgentes* agentes = CriaTelaAgentes()) agentes->SelecionaAgente(a);
    });
    sub->show();
    return janela;
}

void TfrmMain::MenuRegrasAlertaClick() {
    TfrmRegrasAlerta dialogo(this);
    dialogo.SetRegras(m_monitor->Alertas().Regras(), m_monitor->OpcoesAlerta);
    if (dialogo.exec() != QDialog::Accepted) return;
    m_monitor->DefineRegrasAlerta(dialogo.Regras(), dialogo.Opcoes());
}
