#include "TSimBigScenario.h"

#include <QStringList>

namespace {

// The tables the monitor reads, as in the demo scenario, with rows made by SQLite itself.
const char* const schema = R"sql(
CREATE TABLE PerfilConfiguracao (
    PerfilConfiguracaoId INTEGER PRIMARY KEY, Nome TEXT NOT NULL, Status INTEGER NOT NULL DEFAULT 0);
INSERT INTO PerfilConfiguracao VALUES (1, 'Operação de Carga', 1);

CREATE TABLE user (idUser INTEGER, user TEXT PRIMARY KEY, pass TEXT NOT NULL, nome TEXT, tipo TEXT,
    tipoUsuario TEXT, perfil TEXT, permissao INTEGER NOT NULL DEFAULT 0, email TEXT);
INSERT INTO user VALUES (1, 'demo', 'fe01ce2a7fbac8fafaed7c982a04e229', 'Usuário Demonstração',
    'u', 'a', '', 6, 'demo@vesmara.com.br');
CREATE TABLE PermissaoUsuario (PermissaoUsuarioId INTEGER PRIMARY KEY, Usuario TEXT NOT NULL,
    PermissaoGrupoId TEXT NOT NULL, PermissaoNomeId TEXT NOT NULL);
CREATE TABLE PermissaoUsuarioExtra (PermissaoUsuarioExtraId INTEGER PRIMARY KEY,
    Usuario TEXT NOT NULL, PermissaoGrupoId TEXT NOT NULL, PermissaoNomeId TEXT NOT NULL,
    Tipo TEXT NOT NULL, Valor TEXT NOT NULL);

CREATE TABLE Porta (PortaId INTEGER PRIMARY KEY, Placa INTEGER NOT NULL, Canal INTEGER NOT NULL,
    Marca TEXT NOT NULL, Tipo TEXT NOT NULL, TipoTronco TEXT, QtdeCanais INTEGER NOT NULL, Nome TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %SPANS%)
INSERT INTO Porta SELECT i, i - 1, 0, 'k', 't', 'd', 30, printf('Khomp E1 - Span %d', i) FROM n;

CREATE TABLE Ramal (RamalId TEXT NOT NULL, PerfilConfiguracaoId INTEGER NOT NULL, Nome TEXT,
    Tipo TEXT NOT NULL, FisicoEndereco INTEGER, Contexto TEXT, PRIMARY KEY (RamalId, PerfilConfiguracaoId));
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %AGENTS%)
INSERT INTO Ramal SELECT CAST(200000 + i AS TEXT), 1, printf('PA %05d', i), 's', NULL, 'interno' FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50)
INSERT INTO Ramal SELECT CAST(300000 + i AS TEXT), 1, printf('Apoio %02d', i), 's', NULL, 'interno' FROM n;

CREATE TABLE Tronco (IdTronco INTEGER PRIMARY KEY, PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL, TroncoId INTEGER NOT NULL DEFAULT 0, Tipo TEXT NOT NULL, Operadora TEXT,
    IdDeChamada TEXT, Host TEXT, Usuario TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %SPANS%)
INSERT INTO Tronco SELECT i, 1, printf('E1 Span %d', i), i, 'f', 'Embratel',
    printf('11332%05d', i * 100), NULL, NULL FROM n;
INSERT INTO Tronco VALUES (%SPANS% + 1, 1, 'VoipBrasil', 0, 's', 'VoIP Brasil', '1140042000',
    '200.187.64.10', '4140042000');

CREATE TABLE MotivoPausa (MotivoPausaId INTEGER PRIMARY KEY, PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL, Produtivo INTEGER NOT NULL DEFAULT 0);
INSERT INTO MotivoPausa VALUES (1, 1, 'Almoço', 0), (2, 1, 'Banheiro', 0), (3, 1, 'Treinamento', 1),
    (4, 1, 'Reunião', 1), (5, 1, 'Feedback', 1), (6, 1, 'Lanche', 0), (7, 1, 'Ginástica laboral', 0),
    (8, 1, 'Backoffice', 1);

CREATE TABLE Atendente (AtendenteId TEXT PRIMARY KEY, PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL, Email TEXT);
WITH RECURSIVE
    n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %AGENTS%),
    prenome(k, v) AS (VALUES (0, 'Adriana'), (1, 'Carlos'), (2, 'Fernanda'), (3, 'José'),
        (4, 'Luciana'), (5, 'Marcelo'), (6, 'Renata'), (7, 'Roberto'), (8, 'Simone'),
        (9, 'Antônio'), (10, 'Cláudia'), (11, 'Paulo'), (12, 'Beatriz')),
    sobrenome(k, v) AS (VALUES (0, 'Silva'), (1, 'Santos'), (2, 'Oliveira'), (3, 'Souza'),
        (4, 'Rodrigues'), (5, 'Ferreira'), (6, 'Almeida'), (7, 'Nascimento'), (8, 'Lima'),
        (9, 'Araújo'), (10, 'Costa'))
INSERT INTO Atendente
SELECT CAST(100000 + i AS TEXT), 1, prenome.v || ' ' || sobrenome.v, NULL
FROM n JOIN prenome ON prenome.k = i % 13 JOIN sobrenome ON sobrenome.k = (i / 13) % 11;

CREATE TABLE Fila (FilaId INTEGER PRIMARY KEY, PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL, Numero TEXT, Tipo TEXT NOT NULL DEFAULT 'v', Ativa INTEGER NOT NULL DEFAULT 1);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %QUEUES%)
INSERT INTO Fila SELECT i, 1, printf('Fila %04d', i), CAST(80000 + i AS TEXT), 'v', 1 FROM n;

CREATE TABLE DisCampanha (CampanhaId INTEGER PRIMARY KEY, Nome TEXT NOT NULL,
    Status INTEGER NOT NULL DEFAULT 0, Fila INTEGER NOT NULL DEFAULT 0, Tipo TEXT,
    maxTentativasDiscagens INTEGER NOT NULL DEFAULT 3, DataInicio TEXT);
CREATE TABLE ChamadasAtivas (UniqueId TEXT PRIMARY KEY, DestinoInterno TEXT, DestinoInternoId TEXT,
    BridgeChannel TEXT, TimeStamp INTEGER, TimeStampAtendimento INTEGER);
CREATE TABLE ChatMensagemDe (idChatMensagemDe INTEGER PRIMARY KEY, De TEXT NOT NULL,
    DataEnvio TEXT NOT NULL, Mensagem TEXT NOT NULL);
CREATE TABLE ChatMensagemPara (idChatMensagemPara INTEGER PRIMARY KEY,
    idChatMensagemDe INTEGER NOT NULL, Para TEXT NOT NULL, DataLeitura TEXT);

CREATE TABLE SimAtendente (AtendenteId TEXT PRIMARY KEY, Dispositivo TEXT, LoginHaSegundos INTEGER,
    Pausado INTEGER NOT NULL DEFAULT 0, MotivoPausaId INTEGER, PausaHaSegundos INTEGER,
    UltimaChamadaHaSegundos INTEGER, UltimaPausaHaSegundos INTEGER);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %AGENTS%)
INSERT INTO SimAtendente
SELECT CAST(100000 + i AS TEXT),
       CASE WHEN i % 10 = 0 THEN NULL ELSE 'SIP/' || (200000 + i) END,
       3600 + (i * 37) % 20000,
       CASE WHEN i % 9 = 0 AND i % 10 <> 0 THEN 1 ELSE 0 END,
       1 + i % 8, (i * 13) % 1800, (i * 7) % 900, NULL
FROM n;

CREATE TABLE SimMembroFila (FilaId INTEGER NOT NULL, AtendenteId TEXT NOT NULL,
    Penalidade INTEGER NOT NULL DEFAULT 0, ChamadasAtendidas INTEGER NOT NULL DEFAULT 0);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %AGENTS%)
INSERT INTO SimMembroFila SELECT 1 + (i - 1) % %QUEUES%, CAST(100000 + i AS TEXT), 0, i % 40 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %AGENTS%)
INSERT INTO SimMembroFila SELECT 1 + (i * 7) % %QUEUES%, CAST(100000 + i AS TEXT), 1, i % 11 FROM n
WHERE i % 3 = 0 AND 1 + (i * 7) % %QUEUES% <> 1 + (i - 1) % %QUEUES%;

CREATE TABLE SimFila (FilaId INTEGER PRIMARY KEY, Estrategia TEXT, Maximo INTEGER,
    Completadas INTEGER, Abandonadas INTEGER, TempoEspera INTEGER, TempoAtendimento INTEGER,
    NivelServico INTEGER, NivelServicoPerf TEXT, Peso INTEGER);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %QUEUES%)
INSERT INTO SimFila SELECT i, CASE i % 3 WHEN 0 THEN 'rrmemory' WHEN 1 THEN 'leastrecent' ELSE 'ringall' END,
    %MAXIMUM%, 100 + i % 50, i % 9, 30, 180, 20, '80.0', 0 FROM n;

CREATE TABLE SimRamal (RamalId TEXT PRIMARY KEY, Registrado INTEGER NOT NULL DEFAULT 0,
    Endereco TEXT, Latencia INTEGER);
INSERT INTO SimRamal SELECT RamalId, 1, printf('10.%d.%d.%d', 1 + rowid / 62500, (rowid / 250) % 250,
    1 + rowid % 250), 5 + rowid % 20 FROM Ramal;

CREATE TABLE SimPorta (PortaId INTEGER PRIMARY KEY, Sinal INTEGER, Alarme TEXT);
CREATE TABLE SimTronco (Nome TEXT PRIMARY KEY, Alcancavel INTEGER NOT NULL DEFAULT 1, Canais INTEGER);
INSERT INTO SimTronco VALUES ('VoipBrasil', 1, %CHANNELS% + 100);

CREATE TABLE SimMotivoChamada (FilaId INTEGER NOT NULL, Motivo TEXT NOT NULL, SubMotivo TEXT,
    Quantidade INTEGER NOT NULL);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %QUEUES%),
    motivo(m, s, q) AS (VALUES ('Informação', NULL, 40), ('Reclamação', NULL, 12),
        ('Suporte', NULL, 30), ('Suporte', 'Acesso', 18), ('Suporte', 'Cobrança', 12))
INSERT INTO SimMotivoChamada SELECT i, m, s, q + i % 7 FROM n, motivo;

CREATE TABLE SimPermissao (idUser INTEGER NOT NULL, Grupo TEXT NOT NULL, Permissao TEXT NOT NULL, Valor TEXT);
CREATE TABLE SimChatOnline (Usuario TEXT PRIMARY KEY);

CREATE TABLE SimTrafego (Carga REAL, PacienciaSegundos INTEGER, AtendimentoSegundos INTEGER,
    CanaisAlvo INTEGER, CanaisMaximo INTEGER, InternasPorHora REAL, SaidasPorHora REAL);
INSERT INTO SimTrafego VALUES (1.1, 900, 180, %CHANNELS%, %CHANNELS% + %CHANNELS% / 5 + 100, 0.2, 0.2);
)sql";

} // namespace

bool TSimBigScenario::parse(const QString& text, Size* size, QString* error) {
    const QString usage = QStringLiteral("a big scenario is written big:AGENTS,QUEUES,CHANNELS "
                                         "(1-%1 agents, 1-%2 queues, 0-%3 channels)")
                              .arg(MaxAgents)
                              .arg(MaxQueues)
                              .arg(MaxChannels);
    if (!text.startsWith(u"big:")) {
        *error = usage;
        return false;
    }
    const QStringList parts = text.mid(4).split(u',');
    bool ok[3] = {false, false, false};
    if (parts.size() == 3) {
        size->agents = parts.at(0).trimmed().toInt(&ok[0]);
        size->queues = parts.at(1).trimmed().toInt(&ok[1]);
        size->channels = parts.at(2).trimmed().toInt(&ok[2]);
    }
    if (!ok[0] || !ok[1] || !ok[2] || size->agents < 1 || size->agents > MaxAgents ||
        size->queues < 1 || size->queues > MaxQueues || size->channels < 0 ||
        size->channels > MaxChannels) {
        *error = usage;
        return false;
    }
    return true;
}

QString TSimBigScenario::sql(const Size& size) {
    // Callers wait where agents are too few for the channels asked for: room for them in every
    // queue, with some to spare.
    const int maximum = qMax(20, 2 * size.channels / size.queues);
    const int spans = qBound(1, size.channels / 1000, 16);
    return QString::fromUtf8(schema)
        .replace(QStringLiteral("%AGENTS%"), QString::number(size.agents))
        .replace(QStringLiteral("%QUEUES%"), QString::number(size.queues))
        .replace(QStringLiteral("%CHANNELS%"), QString::number(size.channels))
        .replace(QStringLiteral("%MAXIMUM%"), QString::number(maximum))
        .replace(QStringLiteral("%SPANS%"), QString::number(spans));
}
