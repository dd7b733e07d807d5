#pragma once

#include "model/callcentre/TFila.h"
#include "model/chat/TChat.h"
#include "monitor/TAviso.h"

#include <QIcon>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TMonitor;
class TTextoChat;

// "Chat": the internal chat of the logged-in user. Participants in groups (platform users,
// agents, one group per queue) with their presence, the recent conversations, the messages of
// the conversation chosen with day separators and read marks, the history links and the
// composition box. While it is open it is the one view of the chat model's notices.
class TfrmChat : public QWidget {
    Q_OBJECT
public:
    explicit TfrmChat(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmChat() override;

    // Binds the window to a chat model (none: the window empties) and builds the tree.
    void CriaChat(TChat* chat);
    void LeVariaveis();
    void SalvaVariaveis();

    // Model notices.
    void OnChatConversaEvent(TConversaChat* conversa, TMensagemChat* msg, TAvisoChat aviso);
    void AtualizaUsuario(TUsuarioChat* usuario);
    void AtualizaMembroFilaTelaChat(TFila* fila, TMembroFila* membro, TAvisoFila aviso);

    void CarregaConversa(TConversaChat* conversa);
    // A notification was clicked: its conversation is shown from the "Recentes" tab.
    void CarregaConversaNotificacao(TConversaChat* conversa);
    // The window came to the front: the current conversation's messages to me are read.
    void LeNaoLidas(TConversaChat* conversa);

    // Controls' handlers (public for tests).
    void AlternaNo(QTreeWidgetItem* item);
    void ListView1Click();
    // Tags 0, 1, 2, 3 (today, yesterday, 2 and 7 days) and -1 (unread only).
    void LabelHistoricoClick(int tag);
    void btEnviarClick();

    // Hooks of the frame: a message to announce, whether the user is looking at this window,
    // and an information box (tests answer it).
    std::function<void(TConversaChat*, TMensagemChat*)> Notifica;
    std::function<bool()> EmPrimeiroPlano;
    std::function<void(const QString& titulo, const QString& texto)> Informa;

    static constexpr int kMaxCaracteres = 1024;

    // Texts shown, for tests.
    static QString SeparadorDia(double dataEnvio, double agora);
    TChat* Chat() const { return m_chat; }
    TConversaChat* ConversaAtual() const { return m_conversaAtual; }
    QTreeWidget* Arvore() const { return m_arvore; }
    QListWidget* Recentes() const { return m_recentes; }
    QTabWidget* Abas() const { return m_abas; }
    TTextoChat* Texto() const { return m_texto; }
    QPlainTextEdit* MemoTx() const { return m_memo; }
    QLabel* LabelPara() const { return m_labelPara; }
    QLabel* LabelNomeConversa() const { return m_labelNome; }
    QPushButton* LinkHistorico(int indice) const { return m_links[size_t(indice)]; }
    QPushButton* BotaoEnviar() const { return m_enviar; }
    // The tree node of a participant in a group (group key: "usuarios", "atendentes", "f" + id).
    QTreeWidgetItem* No(const QString& grupo, const QString& usuarioId) const;
    QTreeWidgetItem* Grupo(const QString& grupo) const;
    QListWidgetItem* EntradaRecentes(const TConversaChat* conversa) const;
    // Image index of a tree node or a "Recentes" entry: 0 partly present, 1 absent, 2 present.
    static int Imagem(const QTreeWidgetItem* item);
    static int Imagem(const QListWidgetItem* item);
    QTimer Timer1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct TRegistroExibicao {
        int InicioCabecalho = 0;
        int TamanhoHora = 0;
        int InicioCorpo = 0;
        int TamanhoCorpo = 0;
        TMensagemChat* Mensagem = nullptr;
    };

    void CriaTreeViewUsuarios();
    QTreeWidgetItem* CriaGrupo(const QString& id, const QString& nome, const QString& tipo);
    QTreeWidgetItem* CriaFilho(QTreeWidgetItem* grupo, TUsuarioChat* u);
    TUsuarioChat* ParticipanteDoMembro(const TMembroFila* membro);
    void AtualizaTreeView(QTreeWidgetItem* alterado);
    QString GetIdConversaTreeView() const;
    QString GetNomeConversaTreeView() const;
    QString GetUsuariosTreeView() const;
    QStringList FilhosMarcados() const;
    TConversaChat* NovaConversaDaArvore();
    void AddConversaListView(TConversaChat* conversa);
    void AcertaIconeConversas();
    void AcertaIconeItemPai(QTreeWidgetItem* grupo);
    void AtualizaInfos(TConversaChat* conversa);
    void AddMensagemToRichText(TMensagemChat* msg);
    void AtualizaMensagemToRichText(TMensagemChat* msg);
    void HabilitaHistoricoConversa(TConversaChat* conversa);
    void HabilitaLabelsHistorico(bool habilita, int indice);
    void LiMensagem(TMensagemChat* msg);
    void DesmarcaTudo();
    void Esquece(TMensagemChat* msg);
    void Solta();
    void RoladoAoTopo();
    void MantemAncora();
    void DefineImagem(QTreeWidgetItem* item, int imagem);
    void DefineImagem(QListWidgetItem* item, int imagem);

    TMonitor* m_monitor;
    std::array<QIcon, 3> m_icones;
    TChat* m_chat = nullptr;
    TConversaChat* m_conversaAtual = nullptr;
    std::vector<std::unique_ptr<TUsuarioChat>> m_gruposArvore;
    std::vector<TRegistroExibicao> m_registros;
    double m_diaAtual = 0;
    // The message at the top when older history was asked for by scrolling up.
    TMensagemChat* m_ancora = nullptr;
    // Read receipts already asked for: a conversation reloaded again does not ask twice.
    QSet<QString> m_lidasPedidas;

    QSplitter* m_divisor;
    QTabWidget* m_abas;
    QTreeWidget* m_arvore;
    QListWidget* m_recentes;
    QLabel* m_labelNome;
    std::vector<QPushButton*> m_links;
    TTextoChat* m_texto;
    QPushButton* m_enviar;
    QLabel* m_labelPara;
    QPlainTextEdit* m_memo;

    TAssinatura m_avisoChat;
    TAssinatura m_avisoUsuario;
    TAssinatura m_avisoHistorico;
    TAssinatura m_avisoNovoChat;
    TAssinatura m_avisoMembro;
};
