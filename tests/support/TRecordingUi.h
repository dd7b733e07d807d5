#pragma once

// A user interface that only records what the monitor core asks of it.
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TCampanha.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TRamal.h"
#include "model/telephony/TTronco.h"
#include "monitor/TAvisos.h"
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

    // Records the notices the windows would get, as the windows subscribe to them.
    std::vector<TAssinatura> assinaturas;
    void Assina(TAvisos& avisos) {
        assinaturas.clear();
        assinaturas.push_back(avisos.Ramal.Assina([this](TRamal* r) { AtualizaRamal(r); }));
        assinaturas.push_back(
            avisos.Tronco.Assina([this](TTronco* t, TCanalTronco* c) { AtualizaTronco(t, c); }));
        assinaturas.push_back(avisos.Agente.Assina(
            [this](TAgente* a, TAvisoAgente k) { AtualizaAgente(a, TextoAviso(k)); }));
        assinaturas.push_back(avisos.Membro.Assina([this](TFila* f, TMembroFila* m, TAvisoFila k) {
            AtualizaMembro(f, m, TextoAviso(k));
            if (m->Agent) AtualizaAgente(m->Agent, TextoAviso(k));
        }));
        assinaturas.push_back(avisos.ChamadaFila.Assina(
            [this](TFila* f, TChannel* c, TAvisoFila k) { AtualizaChamada(f, c, TextoAviso(k)); }));
        assinaturas.push_back(avisos.Fila.Assina([this](TFila* f) { AtualizaFila(f); }));
        assinaturas.push_back(avisos.MotivosRecontados.Assina([this] { ++graficosMotivos; }));
        assinaturas.push_back(avisos.MenuDiscador.Assina([this] { ++menusDiscador; }));
        assinaturas.push_back(
            avisos.Campanha.Assina([this](TCampanha* c) { AtualizaCampanha(c); }));
        assinaturas.push_back(
            avisos.ChamadaCampanha.Assina([this](TCampanha* c, TChannel* canal, TAvisoCampanha k) {
                AtualizaChamadaCampanha(c, canal, TextoAviso(k));
            }));
        assinaturas.push_back(
            avisos.ResumoCampanha.Assina([this](TCampanha* c) { resumos << c->CampanhaId(); }));
    }
    virtual void AtualizaRamal(TRamal* r) { ramais << r->RamalId + u' ' + r->Estado; }
    virtual void AtualizaTronco(TTronco* t, TCanalTronco* c) {
        troncos << t->Nome + u'#' + QString::number(c->Indice()) + u' ' + c->Status + u'|' +
                       c->Direcao + u'|' + c->Telefone;
    }
    virtual void AtualizaAgente(TAgente* a, const QString& k) { agentes << a->Agent() + u' ' + k; }
    void AtualizaMembro(TFila* f, TMembroFila* m, const QString& k) {
        membros << f->FilaId() + u' ' + m->Member + u' ' + k;
    }
    void AtualizaChamada(TFila* f, TChannel* c, const QString& k) {
        chamadas << f->FilaId() + u' ' + c->Channel() + u' ' + k;
    }
    void AtualizaFila(TFila* f) { filas << f->FilaId(); }
    void AtualizaCampanha(TCampanha* c) { campanhas << c->CampanhaId(); }
    void AtualizaChamadaCampanha(TCampanha* c, TChannel* canal, const QString& k) {
        chamadasCampanha << c->CampanhaId() + u' ' +
                                (canal ? canal->Channel() : QStringLiteral("-")) + u' ' + k;
    }
};
