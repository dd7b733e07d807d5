#include "settings/TConfiguracao.h"

#include "settings/TIniFile.h"
#include "settings/TPerfis.h"

namespace {

const QString kGeral = QStringLiteral("Geral");
const QString kDebug = QStringLiteral("Debug");
const QString kNotificacao = QStringLiteral("Notificacao");
const QString kConexao = QStringLiteral("Conexao");
const QString kPreferencias = QStringLiteral("Preferencias");
const QString kTelasAbrir = QStringLiteral("TelasAbrir");

void AdicionaGeral(TAlteracoesIni& alteracoes, const TConfiguracaoGeral& geral) {
    alteracoes.WriteString(kGeral, QStringLiteral("ConexaoAtiva"), geral.ConexaoAtiva);
    alteracoes.WriteBool(kNotificacao, QStringLiteral("ChatRxMensagem"), geral.ChatRxMensagem);
    alteracoes.WriteInteger(kNotificacao, QStringLiteral("TempoNotificacao"),
                            geral.TempoNotificacao);
    alteracoes.WriteInteger(kNotificacao, QStringLiteral("TelaTop"), geral.TelaTop);
    alteracoes.WriteInteger(kNotificacao, QStringLiteral("TelaLeft"), geral.TelaLeft);
}

void AdicionaConexao(TAlteracoesIni& alteracoes, const TConexaoSalva& conexao) {
    alteracoes.WriteString(kConexao, QStringLiteral("IP"), conexao.IP);
    alteracoes.WriteInteger(kConexao, QStringLiteral("Porta"), conexao.Porta);
    alteracoes.WriteString(kPreferencias, kTelasAbrir, JuntaTelasAbrir(conexao.TelasAbrir));
}

bool ResumoNomeado(const QString& tela) {
    return tela.startsWith(QStringLiteral("Filas_")) ||
           tela.startsWith(QStringLiteral("FilasChat_"));
}

QStringList LeTelasAbrir(const TIniFile& perfil) {
    QStringList telas;
    for (const QString& tela : DivideTelasAbrir(perfil.ReadString(kPreferencias, kTelasAbrir))) {
        if (!ResumoNomeado(tela) || perfil.SectionExists(u"Tela" + tela)) telas.append(tela);
    }
    return telas;
}

} // namespace

TConfiguracaoGeral LeConfiguracao(const QString& pasta, QSize tela) {
    const TIniFile ini(ArquivoGlobal(pasta));
    TConfiguracaoGeral geral;
    geral.ConexaoAtiva = ini.ReadString(kGeral, QStringLiteral("ConexaoAtiva"));
    geral.Debug = ini.ReadBool(kDebug, QStringLiteral("Debug"), false);
    geral.DebugPacotes = ini.ReadBool(kDebug, QStringLiteral("DebugPacotes"), false);
    geral.ChatRxMensagem = ini.ReadBool(kNotificacao, QStringLiteral("ChatRxMensagem"), false);
    geral.TempoNotificacao = ini.ReadInteger(kNotificacao, QStringLiteral("TempoNotificacao"), 5);
    geral.TelaTop =
        ini.ReadInteger(kNotificacao, QStringLiteral("TelaTop"), (tela.height() - 274) / 2);
    geral.TelaLeft =
        ini.ReadInteger(kNotificacao, QStringLiteral("TelaLeft"), (tela.width() - 512) / 2);
    return geral;
}

void SalvaConfiguracao(const QString& pasta, const TConfiguracaoGeral& geral) {
    ArquivoPerfilParaGravar(pasta, geral.ConexaoAtiva); // refuse the name before any write
    TAlteracoesIni alteracoes;
    AdicionaGeral(alteracoes, geral);
    TIniFile(ArquivoGlobal(pasta)).Write(alteracoes);
}

void SalvaConfiguracao(const QString& pasta, const TConfiguracaoGeral& geral,
                       const TConexaoSalva& conexao) {
    const QString arquivoPerfil = ArquivoPerfilParaGravar(pasta, geral.ConexaoAtiva);
    TAlteracoesIni global;
    AdicionaGeral(global, geral);
    TAlteracoesIni perfil;
    AdicionaConexao(perfil, conexao);
    // The default profile is the global file itself: one write holds both parts.
    if (arquivoPerfil == ArquivoGlobal(pasta)) {
        for (const TAlteracoesIni::TValor& valor : perfil.Valores())
            global.WriteString(valor.Secao, valor.Chave, valor.Texto);
        TIniFile(arquivoPerfil).Write(global);
        return;
    }
    TIniFile(ArquivoGlobal(pasta)).Write(global);
    TIniFile(arquivoPerfil).Write(perfil);
}

TConfiguracaoConexao LeConfiguracaoConexao(const QString& pasta, const QString& perfil) {
    const TIniFile ini(ArquivoPerfil(pasta, perfil));
    TConfiguracaoConexao conexao;
    conexao.IP = ini.ReadString(kConexao, QStringLiteral("IP"));
    conexao.Porta = ini.ReadInteger(kConexao, QStringLiteral("Porta"), 5038);
    conexao.Usuario = ini.ReadString(kConexao, QStringLiteral("Usuario"));
    conexao.Senha = ini.ReadString(kConexao, QStringLiteral("Senha"));
    conexao.SalvarSenha = ini.ReadBool(kConexao, QStringLiteral("SalvarSenha"), false);
    conexao.TelasAbrir = LeTelasAbrir(ini);
    return conexao;
}

void SalvaConfiguracaoUsuario(const QString& pasta, const QString& perfil, const QString& usuario,
                              const QString& senha, bool salvarSenha) {
    TAlteracoesIni alteracoes;
    alteracoes.WriteString(kConexao, QStringLiteral("Usuario"), usuario);
    alteracoes.WriteBool(kConexao, QStringLiteral("SalvarSenha"), salvarSenha);
    alteracoes.WriteString(kConexao, QStringLiteral("Senha"), salvarSenha ? senha : QString());
    TIniFile(ArquivoPerfilParaGravar(pasta, perfil)).Write(alteracoes);
}

QStringList LeTelasAbrir(const QString& pasta, const QString& perfil) {
    return LeTelasAbrir(TIniFile(ArquivoPerfil(pasta, perfil)));
}

QString JuntaTelasAbrir(const QStringList& telas) {
    return telas.join(u',');
}

QStringList DivideTelasAbrir(const QString& texto) {
    if (texto.isEmpty()) return {};
    return texto.split(u',');
}
