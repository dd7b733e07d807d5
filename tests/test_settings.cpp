#include "settings/TConfiguracao.h"
#include "settings/TErroConfiguracao.h"
#include "settings/TIniFile.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "settings/TSettingsFolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPadrao = QStringLiteral("<padrão>");

QByteArray Bytes(const QString& caminho) {
    QFile file(caminho);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void GravaBytes(const QString& caminho, const QByteArray& bytes) {
    QFile file(caminho);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

unsigned Modo(const QString& caminho) {
    struct stat info {};
    return ::stat(QFile::encodeName(caminho).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

QByteArray Utf16(const QString& texto) {
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(utf16.encode(texto));
}

// Sets (or, with a null value, removes) a variable for the life of the object.
class TAmbiente {
public:
    TAmbiente(const char* nome, const QByteArray& valor)
        : FNome(nome), FTinha(qEnvironmentVariableIsSet(nome)), FAntes(qgetenv(nome)) {
        valor.isNull() ? qunsetenv(nome) : qputenv(nome, valor);
    }
    ~TAmbiente() { FTinha ? qputenv(FNome, FAntes) : qunsetenv(FNome); }

private:
    const char* FNome;
    bool FTinha;
    QByteArray FAntes;
};

void Linha(const char* nome, const QByteArray& conteudo, const QString& esperado) {
    QTest::newRow(nome) << conteudo << esperado;
}

void Gravacao(const char* nome, const QByteArray& antes, const QString& valor,
              const QByteArray& depois) {
    QTest::newRow(nome) << antes << valor << depois;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir* FDir = nullptr;
    QString FPasta;
    QString Arquivo() const { return FPasta + "MonitorVesmara.ini"; }

private Q_SLOTS:
    void init() {
        FDir = new QTemporaryDir;
        QVERIFY(FDir->isValid());
        FPasta = FDir->path() + '/';
        qputenv("MONITORVESMARA_DIR", FPasta.toUtf8());
    }
    void cleanup() {
        QFile::setPermissions(FDir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner);
        delete FDir;
    }

    void leitura_data() {
        QTest::addColumn<QByteArray>("conteudo");
        QTest::addColumn<QString>("esperado");
        Linha("sem caixa", "[A]\r\nK=10.0.0.1\r\n", "10.0.0.1");
        Linha("brancos aparados", "  [ A ]  \n\t K  =  v w \t\n", "v w");
        Linha("só a primeira seção", "[A]\nJ=1\n[a]\nK=2\n", kPadrao);
        Linha("primeira chave", "[A]\nK=1\nk=2\n", "1");
        Linha("aspas duplas", "[A]\nK=\" a \"\n", " a ");
        Linha("aspas simples", "[A]\nK='x'\n", "x");
        Linha("aspas diferentes", "[A]\nK=\"x'\n", "\"x'");
        Linha("aspa sozinha", "[A]\nK=\"\n", "\"");
        Linha("vazio não é padrão", "[A]\nK=\n", "");
        Linha("igual no valor", "[A]\nK=a=b\n", "a=b");
        Linha("chave sem seção", "K=1\n[A]\n", kPadrao);
        Linha("comentário", "[A]\n;K=1\n", kPadrao);
        Linha("lixo e NUL", QByteArray("[A]\nlixo\n\0\0x=\0\n\xff\xfe\nK=2", 21), "2");
        Linha("sem colchete final", "[A\nK=1", "1");
        Linha("Windows-1252", "[A]\r\nK=Jo\xe3o\r\n", u"João"_qs);
        Linha("BOM UTF-8", "\xef\xbb\xbf[A]\nK=\xc3\xa7\n", u"ç"_qs);
        Linha("UTF-16", Utf16(u"[A]\r\nK=Ação\r\n"_qs), u"Ação"_qs);
    }
    void leitura() {
        QFETCH(QByteArray, conteudo);
        QFETCH(QString, esperado);
        GravaBytes(Arquivo(), conteudo);
        QCOMPARE(TIniFile(Arquivo()).ReadString("a", "k", kPadrao), esperado);
    }

    void nomesAcentuadosSemCaixa() {
        GravaBytes(Arquivo(), "[Se\xc3\xa7\xc3\xa3o]\nA\xc3\x87\xc3\x83O=1");
        QCOMPARE(TIniFile(Arquivo()).ReadString(u"SEÇÃO"_qs, u"ação"_qs), "1");
    }

    void inteiros_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("esperado");
        const QList<std::pair<const char*, int>> casos = {
            {" -5 ", -5},       {"+7", 7},
            {"$1F", 31},        {"0x1f", 31},
            {"-$10", -16},      {"$FFFFFFFF", -1},
            {"12abc", 77},      {"0x", 77},
            {"$100000000", 77}, {"2147483647", 2147483647},
            {"2147483648", 77}, {"-2147483648", int(0x80000000u)},
            {"-2147483649", 77}};
        for (const auto& [texto, esperado] : casos)
            QTest::newRow(texto) << QString(texto) << esperado;
    }
    void inteiros() {
        QFETCH(QString, texto);
        QFETCH(int, esperado);
        GravaBytes(Arquivo(), "[A]\nK=" + texto.toUtf8() + "\n");
        QCOMPARE(TIniFile(Arquivo()).ReadInteger("A", "K", 77), esperado);
        QCOMPARE(TIniFile(Arquivo()).ReadInteger("A", "falta", 77), 77);
    }

    void gravacaoPreservaLinhas_data() {
        QTest::addColumn<QByteArray>("antes");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QByteArray>("depois");
        Gravacao(
            "substitui",
            "; coment\xe1rio\r\nlixo\r\n[b]\r\n  k = 1.1.1.1 \r\nOutra=x\r\n\r\n[C]\r\nK=1\r\n",
            "2.2.2.2",
            "; coment\xe1rio\r\nlixo\r\n[b]\r\n  k =2.2.2.2\r\nOutra=x\r\n\r\n[C]\r\nK=1\r\n");
        Gravacao("após a última chave", "[B]\r\nJ=1\r\n\r\n; de C\r\n[C]\r\n", "2",
                 "[B]\r\nJ=1\r\nK=2\r\n\r\n; de C\r\n[C]\r\n");
        Gravacao("seção sem chaves", "[B]\r\n;K=1\r\n[C]\r\n", "2",
                 "[B]\r\nK=2\r\n;K=1\r\n[C]\r\n");
        Gravacao("seção nova", "[A]\r\nK=1", "2", "[A]\r\nK=1\r\n[B]\r\nK=2\r\n");
        Gravacao("mantém LF", "[A]\nK=1\n", "2", "[A]\nK=1\n[B]\nK=2\n");
        Gravacao("novo em CRLF", QByteArray(), "2", "[B]\r\nK=2\r\n");
        Gravacao("só a primeira seção", "K=0\r\n[B]\r\nK=1\r\n[b]\r\nK=2\r\n", "3",
                 "K=0\r\n[B]\r\nK=3\r\n[b]\r\nK=2\r\n");
        Gravacao("UTF-8 entre Windows-1252", "[B]\r\nNome=Jo\xe3o\r\nK=1\r\n", u"ção"_qs,
                 "[B]\r\nNome=Jo\xe3o\r\nK=\xc3\xa7\xc3\xa3o\r\n");
        Gravacao("BOM mantido", "\xef\xbb\xbf[B]\nK=1\n", "2", "\xef\xbb\xbf[B]\nK=2\n");
        Gravacao("UTF-16 mantido", Utf16(u"[B]\r\nK=1\r\n"_qs), u"é"_qs,
                 Utf16(u"[B]\r\nK=é\r\n"_qs));
        Gravacao("quebras viram brancos", QByteArray(), u"a\r\nb"_qs + QChar(0) + u"c"_qs,
                 "[B]\r\nK=a  b c\r\n");
    }
    void gravacaoPreservaLinhas() {
        QFETCH(QByteArray, antes);
        QFETCH(QString, valor);
        QFETCH(QByteArray, depois);
        if (!antes.isNull()) GravaBytes(Arquivo(), antes);
        TIniFile(Arquivo()).WriteString("B", "K", valor);
        QCOMPARE(Bytes(Arquivo()), depois);
    }

    void idaEVolta_data() {
        QTest::addColumn<QString>("valor");
        for (const QString& valor : {u"  brancos  "_qs, u"\"entre aspas\""_qs, u"a=b;c"_qs,
                                     u"ção €"_qs, QString(), u"\""_qs})
            QTest::newRow(qPrintable(valor)) << valor;
    }
    void idaEVolta() {
        QFETCH(QString, valor);
        GravaBytes(Arquivo(), "[A]\r\nNome=Jo\xe3o\r\nK=antigo\r\n");
        TIniFile ini(Arquivo());
        ini.WriteString("a", "k", valor);
        QCOMPARE(ini.ReadString("A", "K", kPadrao), valor);
        // Each line is decoded on its own: the old Windows-1252 line still reads right.
        QCOMPARE(ini.ReadString("A", "Nome"), u"João"_qs);
        QCOMPARE(ini.ReadSection("A"), QStringList({"Nome", "K"}));
    }

    void nomesInvalidos() {
        GravaBytes(Arquivo(), "[A]\r\nK=1\r\n");
        TIniFile ini(Arquivo());
        const QList<std::pair<QString, QString>> nomes = {{" ", "K"},   {"A]", "K"}, {"A", ""},
                                                          {"A", "a=b"}, {"A", ";k"}, {"A", "[k"}};
        for (const auto& [secao, chave] : nomes)
            QVERIFY_THROWS_EXCEPTION(TErroConfiguracao, ini.WriteString(secao, chave, "x"));
        QCOMPARE(Bytes(Arquivo()), QByteArray("[A]\r\nK=1\r\n"));
    }

    void permissoes() {
        TIniFile ini(Arquivo());
        ini.WriteString("A", "K", "1");
        QCOMPARE(Modo(Arquivo()), 0600u);
        QVERIFY(QFile::setPermissions(Arquivo(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ReadOther));
        ini.WriteString("A", "K", "1"); // unchanged: not rewritten, still owner-only
        QCOMPARE(Modo(Arquivo()), 0600u);

        const QString nova = FPasta + "nova/pasta";
        TAmbiente dir("MONITORVESMARA_DIR", nova.toUtf8());
        QCOMPARE(SettingsFolder(), nova + '/');
        QCOMPARE(Modo(nova), 0700u);
    }

    void gravacaoRecusada_data() {
        QTest::addColumn<int>("caso");
        QTest::newRow("pasta somente leitura") << 0;
        QTest::newRow("pasta é um arquivo") << 1;
        QTest::newRow("arquivo ilegível") << 2;
        QTest::newRow("arquivo grande demais") << 3;
        QTest::newRow("pasta com o nome do arquivo") << 4;
    }
    void gravacaoRecusada() {
        QFETCH(int, caso);
        if ((caso == 0 || caso == 2) && geteuid() == 0) QSKIP("root ignores file permissions");
        QString arquivo = Arquivo();
        QByteArray conteudo = "[A]\r\nK=1\r\n";
        if (caso == 3) conteudo += QByteArray(TIniFile::TamanhoMaximo, 'x');
        if (caso == 1) {
            GravaBytes(FPasta + "arquivo", "x");
            arquivo = FPasta + "arquivo/MonitorVesmara.ini";
        } else if (caso == 4) {
            QVERIFY(QDir(FPasta).mkdir("MonitorVesmara.ini"));
        } else {
            GravaBytes(arquivo, conteudo);
        }
        if (caso == 0)
            QFile::setPermissions(FDir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (caso == 2) QFile::setPermissions(arquivo, QFileDevice::WriteOwner);

        try {
            TIniFile(arquivo).WriteString("A", "K", "2");
            QFAIL("the write did not throw");
        } catch (const TErroConfiguracao& erro) {
            QVERIFY2(erro.Mensagem().contains(arquivo), qPrintable(erro.Mensagem()));
        }
        if (caso == 3) {
            QCOMPARE(Bytes(arquivo), conteudo);
            QCOMPARE(TIniFile(arquivo).ReadString("A", "K"), "1");
        }
    }

    void arquivosHostis() {
        QRandomGenerator aleatorio(1234);
        QByteArray lixo(256 * 1024, Qt::Uninitialized);
        aleatorio.fillRange(reinterpret_cast<quint32*>(lixo.data()), lixo.size() / 4);
        const QByteArray linhaLonga(2 * 1024 * 1024, '=');
        for (const QByteArray& conteudo :
             {lixo, linhaLonga, QByteArray(lixo).replace("\n", "\n[")}) {
            GravaBytes(Arquivo(), conteudo);
            TIniFile ini(Arquivo());
            QCOMPARE(ini.ReadString("Conexao", "IP", kPadrao), kPadrao);
            ini.ReadSections();
            ini.ReadSection("A");
            ini.WriteString("Conexao", "IP", "1.2.3.4");
            QCOMPARE(ini.ReadString("Conexao", "IP"), "1.2.3.4");
            QVERIFY(Bytes(Arquivo()).startsWith(conteudo));
        }
    }

    void pastaDeConfiguracao() {
        const QString perfil = FPasta + "perfil";
        QVERIFY(QDir().mkpath(perfil));
        QFile::setPermissions(perfil, QFile::permissions(perfil) | QFileDevice::ReadOther);
        const unsigned modoDoPerfil = Modo(perfil);
        {
            TAmbiente dir("MONITORVESMARA_DIR", "");
            TAmbiente usuario("USERPROFILE", perfil.toUtf8());
            QCOMPARE(SettingsFolder(), perfil + '/');
            QCOMPARE(Modo(perfil), modoDoPerfil);
        }
        TAmbiente dir("MONITORVESMARA_DIR", QByteArray());
        TAmbiente usuario("USERPROFILE", (FPasta + "naoExiste").toUtf8());
        TAmbiente xdg("XDG_CONFIG_HOME", (FPasta + "config").toUtf8());
        QCOMPARE(SettingsFolder(), FPasta + "config/MonitorVesmara/");
        QCOMPARE(Modo(FPasta + "config/MonitorVesmara"), 0700u);
    }

    void nomesDePerfil_data() {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("valido");
        QTest::newRow("padrão") << "" << true;
        QTest::newRow("comum") << u"Filial São Paulo"_qs << true;
        QTest::newRow("barra") << "/../x" << false;
        QTest::newRow("pontos") << ".." << false;
        QTest::newRow("quebra") << "a\nb" << false;
        QTest::newRow("longo demais") << QString(240, 'a') << false;
    }
    void nomesDePerfil() {
        QFETCH(QString, nome);
        QFETCH(bool, valido);
        QCOMPARE(NomePerfilValido(nome), valido);
        TConfiguracaoGeral geral;
        geral.ConexaoAtiva = nome;
        if (valido) return;
        // Nothing is written for a bad name, and nothing outside the folder is read.
        QDir(FPasta).mkdir("MonitorVesmara");
        GravaBytes(FPasta + "x.ini", "[Conexao]\r\nIP=fora\r\n");
        QVERIFY_THROWS_EXCEPTION(TErroConfiguracao, SalvaConfiguracao(FPasta, geral, {}));
        QVERIFY(!QFile::exists(Arquivo()));
        QCOMPARE(LeConfiguracaoConexao(FPasta, nome).IP, QString());
    }

    void listaPerfis() {
        for (const char* nome :
             {"MonitorVesmara.ini", "MonitorVesmaraFilial.ini", "MonitorVesmaraabc.ini",
              "monitorvesmaraX.ini", "MonitorVesmaraY.INI", "MonitorVesmara.ini.bak",
              "MonitorVesmaraA\\B.ini"})
            GravaBytes(FPasta + nome, "");
        QDir(FPasta).mkdir("MonitorVesmaraPasta.ini");
        QCOMPARE(ListaPerfis(FPasta), QStringList({"", "abc", "Filial"}));
    }

    void configuracaoGeral() {
        GravaBytes(Arquivo(), "[Debug]\r\nDebug=1\r\nDebugPacotes=1\r\n");
        TConfiguracaoGeral geral = LeConfiguracao(FPasta, {1024, 768});
        geral.ChatRxMensagem = true;
        geral.TempoNotificacao = 9;
        geral.TelaTop = 12;
        geral.Debug = false; // the debug keys are edited by hand only
        SalvaConfiguracao(FPasta, geral);
        const TConfiguracaoGeral lida = LeConfiguracao(FPasta, {1024, 768});
        QVERIFY(lida.Debug && lida.DebugPacotes && lida.ChatRxMensagem);
        QCOMPARE(lida.TempoNotificacao, 9);
        QCOMPARE(lida.TelaTop, 12);
    }

    void perfisEArquivos_data() {
        QTest::addColumn<QString>("perfil");
        QTest::addColumn<QStringList>("arquivos");
        QTest::newRow("padrão") << "" << QStringList({"MonitorVesmara.ini"});
        QTest::newRow("nomeado") << "Filial"
                                 << QStringList({"MonitorVesmara.ini", "MonitorVesmaraFilial.ini"});
    }
    void perfisEArquivos() {
        QFETCH(QString, perfil);
        QFETCH(QStringList, arquivos);
        TConfiguracaoGeral geral;
        geral.ConexaoAtiva = perfil;
        SalvaConfiguracao(FPasta, geral, {"10.1.1.1", 6000, {"Ramais", "Fila12"}});
        SalvaConfiguracaoUsuario(FPasta, perfil, "ana", "segredo", true);
        TSecaoTela secao(ArquivoPerfil(FPasta, perfil), "Ramais");
        secao.EscreveInteiro("Top", 12);
        secao.Salva();

        QCOMPARE(QDir(FPasta).entryList(QDir::Files), arquivos);
        QCOMPARE(LeConfiguracao(FPasta, {}).ConexaoAtiva, perfil);
        const TConfiguracaoConexao conexao = LeConfiguracaoConexao(FPasta, perfil);
        QCOMPARE(conexao.IP, "10.1.1.1");
        QCOMPARE(conexao.Porta, 6000);
        QCOMPARE(conexao.Usuario, "ana");
        QCOMPARE(conexao.Senha, "segredo");
        QVERIFY(conexao.SalvarSenha);
        QCOMPARE(conexao.TelasAbrir, QStringList({"Ramais", "Fila12"}));
        QCOMPARE(TSecaoTela(ArquivoPerfil(FPasta, perfil), "Ramais").LeInteiro("Top", 0), 12);

        SalvaConfiguracaoUsuario(FPasta, perfil, "ana", "segredo", false);
        QCOMPARE(LeConfiguracaoConexao(FPasta, perfil).Senha, QString());
        QVERIFY(!Bytes(ArquivoPerfil(FPasta, perfil)).contains("segredo"));
    }

    void telasAbrir_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("secoes");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("resumo sem seção") << "Ramais,Filas_Vendas,Atendentes"
                                          << "" << QStringList({"Ramais", "Atendentes"});
        QTest::newRow("resumo com seção") << "Filas_Vendas,Fila7"
                                          << "[telafilas_vendas]\r\nTop=1\r\n"
                                          << QStringList({"Filas_Vendas", "Fila7"});
        QTest::newRow("chat sem seção") << "FilasChat_X,Filas"
                                        << "[TelaFilas_X]\r\n"
                                        << QStringList({"Filas"});
        QTest::newRow("peças vazias") << ",Ramais,,Chat"
                                      << "" << QStringList({"", "Ramais", "", "Chat"});
    }
    void telasAbrir() {
        QFETCH(QString, texto);
        QFETCH(QString, secoes);
        QFETCH(QStringList, esperado);
        GravaBytes(Arquivo(),
                   "[Preferencias]\r\nTelasAbrir=" + texto.toUtf8() + "\r\n" + secoes.toUtf8());
        QCOMPARE(LeTelasAbrir(FPasta, ""), esperado);
        QCOMPARE(LeConfiguracaoConexao(FPasta, "").TelasAbrir, esperado);

        SalvaConfiguracao(FPasta, {}, {"", 5038, esperado});
        const QByteArray linha = "\r\nTelasAbrir=" + esperado.join(',').toUtf8() + "\r\n";
        QVERIFY(Bytes(Arquivo()).contains(linha));
    }

    void secaoTela() {
        const QList<int> padrao = {50, 150, 70};
        auto fecha = [&](int modo, const QList<int>& atuais, TOrdenacaoLista ordenacao) {
            TSecaoTela secao(Arquivo(), "Fila3");
            TLargurasColunas colunas = secao.LeColunas(padrao, "Ag");
            colunas.GuardaAtuais(modo, atuais);
            secao.EscreveColunas(colunas, "Ag");
            secao.EscreveVisualizacao({modo, 1, 2}, "Agentes");
            secao.EscreveOrdenacao(ordenacao);
            secao.Salva();
        };
        auto larguras = [&](int modo) {
            const TLargurasColunas colunas = TSecaoTela(Arquivo(), "Fila3").LeColunas(padrao, "Ag");
            return QList<int>{colunas.Largura(modo, 0), colunas.Largura(modo, 1),
                              colunas.Largura(modo, 2)};
        };
        fecha(0, {10, 20, 30}, {2, true});
        fecha(2, {99, 99, 99}, {0, false}); // icon mode: the widths of mode 0 stay
        QCOMPARE(larguras(0), QList<int>({10, 20, 30}));
        QCOMPARE(larguras(1), padrao);
        fecha(1, {5, 6}, {2, true});
        QCOMPARE(larguras(0), QList<int>({10, 20, 30}));
        QCOMPARE(larguras(1), QList<int>({5, 6, 70}));

        const TSecaoTela secao(Arquivo(), "Fila3");
        QCOMPARE(secao.LeOrdenacao().SortCol, 2);
        QVERIFY(secao.LeOrdenacao().SortDescendente);
        QCOMPARE(secao.LeVisualizacao("Agentes").TamanhoDaFonteIcone, 2);
        QVERIFY(Bytes(Arquivo()).startsWith("[TelaFila3]\r\nAgModo0Coluna0=10\r\n"));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
