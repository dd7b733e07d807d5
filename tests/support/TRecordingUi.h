#pragma once

// A user interface that only records what the monitor core asks of it.
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TCampanha.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TRamal.h"
#include "model/telephony/TTronco.h"
#include "monitor/TMonitorUi.h"

struct TRecordingUi : TMonitorUi {
    QStringList status;
    QStringList usuario;
    QStringList log;
    QStringList erros;
    QList<int> loginDialogs;      // tags
    QList<int> connectionDialogs; // countdowns
    QList<int> connectionFailures;
    int loginRetries = 0;
    int loadsFinished = 0;
    bool loginOpen = false;
    bool connectionOpen = false;
    QStringList openWindows; // what CloseAllWindows hands back
    QStringList reopened;    // what CreateWindows received
    // Window updates: "RamalId Estado" and "Trunk#line Status|Direcao|Telefone" at the moment
    // of the call.
    QStringList ramais;
    QStringList troncos;
    // Call-centre updates: "Agent/1001 Agent-agentlogin", "1 Agent/1001 MemberAdded",
    // "1 SIP/2001-0001 CallAdded", queue ids, and the number of chart redraws.
    QStringList agentes;
    QStringList membros;
    QStringList chamadas;
    QStringList filas;
    int graficosMotivos = 0;
    // Campaign updates: "7" (the campaign refreshed), "7 SIP/2001-0001 CallAdded" (a call of
    // it, "-" for none), "7" summaries, and the number of "Discador" menu rebuilds.
    QStringList campanhas;
    QStringList chamadasCampanha;
    QStringList resumos;
    int menusDiscador = 0;

    void SetStatusBar(const QString& t) override { status << t; }
    void SetStatusBarUsuario(const QString& t) override { usuario << t; }
    void Loga(const QString& l) override { log << l; }
    void AppException(const QString& m) override { erros << m; }
    void ShowConnectionDialog(int s) override {
        connectionDialogs << s;
        connectionOpen = true;
    }
    bool ConnectionDialogOpen() const override { return connectionOpen; }
    void ConnectionDialogFailed(int s) override { connectionFailures << s; }
    void CloseConnectionDialog() override { connectionOpen = false; }
    void ShowLoginDialog(int tag) override {
        loginDialogs << tag;
        loginOpen = true;
    }
    bool LoginDialogOpen() const override { return loginOpen; }
    void LoginDialogRetry() override { ++loginRetries; }
    void CloseLoginDialog() override { loginOpen = false; }
    bool HasMonitoringWindows() const override { return !openWindows.isEmpty(); }
    QStringList CloseAllWindows() override {
        QStringList w = openWindows;
        openWindows.clear();
        return w;
    }
    void CreateWindows(const QStringList& t) override { reopened = t; }
    void LoadFinished() override { ++loadsFinished; }
    void AtualizaRamal(TRamal* r) override { ramais << r->RamalId + u' ' + r->Estado; }
    void AtualizaTronco(TTronco* t, TCanalTronco* c) override {
        troncos << t->Nome + u'#' + QString::number(c->Indice()) + u' ' + c->Status + u'|' +
                       c->Direcao + u'|' + c->Telefone;
    }
    void AtualizaAgente(TAgente* a, const QString& k) override { agentes << a->Agent() + u' ' + k; }
    void AtualizaMembro(TFila* f, TMembroFila* m, const QString& k) override {
        membros << f->FilaId() + u' ' + m->Member + u' ' + k;
    }
    void AtualizaChamada(TFila* f, TChannel* c, const QString& k) override {
        chamadas << f->FilaId() + u' ' + c->Channel() + u' ' + k;
    }
    void AtualizaFila(TFila* f) override { filas << f->FilaId(); }
    void AtualizaGraficosMotivos() override { ++graficosMotivos; }
    void AtualizaMenuDiscador() override { ++menusDiscador; }
    void AtualizaCampanha(TCampanha* c) override { campanhas << c->CampanhaId(); }
    void AtualizaChamadaCampanha(TCampanha* c, TChannel* canal, const QString& k) override {
        chamadasCampanha << c->CampanhaId() + u' ' +
                                (canal ? canal->Channel() : QStringLiteral("-")) + u' ' + k;
    }
    void AtualizaResumoCampanha(TCampanha* c) override { resumos << c->CampanhaId(); }
};
