-- Demonstration call centre "Central de Atendimento Vesmara".
-- SQLite. Loaded into a private database when the server starts; times are relative to that moment.
-- Tables whose name starts with "Sim" are the simulator's own: the seed of the live state
-- (agents' logins and pauses, queue members and statistics, registrations, call-reason counters,
-- permissions of platform users that have an idUser, chat presence).

-- Configuration profiles: one active, one kept from an older set-up.
CREATE TABLE PerfilConfiguracao (
    PerfilConfiguracaoId INTEGER PRIMARY KEY,
    Nome TEXT NOT NULL,
    Status INTEGER NOT NULL DEFAULT 0
);
INSERT INTO PerfilConfiguracao VALUES
    (1, 'Operação Principal', 1),
    (2, 'Contingência 2023', 0);

-- Platform users. pass is the lower-case hexadecimal MD5 of the password.
-- demo/demo unrestricted; restrito/restrito restricted through the permission tables (no idUser);
-- gerente/gerente restricted through its platform id (permissions in SimPermissao);
-- the others (password "vesmara") are colleagues for the internal chat.
CREATE TABLE user (
    idUser INTEGER,
    user TEXT PRIMARY KEY,
    pass TEXT NOT NULL,
    nome TEXT,
    tipo TEXT,
    tipoUsuario TEXT,
    perfil TEXT,
    permissao INTEGER NOT NULL DEFAULT 0,
    email TEXT
);
INSERT INTO user VALUES
    (1, 'demo', 'fe01ce2a7fbac8fafaed7c982a04e229', 'Usuário Demonstração', 'u', 'a', '', 6, 'demo@vesmara.com.br'),
    (NULL, 'restrito', '6b3c7e24c6afaaaf1c2c61160e25d71b', 'Rita Albuquerque', 'u', 'u', 'Supervisor Atendimento', 0, 'rita@vesmara.com.br'),
    (3, 'gerente', '740d9c49b11f3ada7b9112614a54be41', 'Gustavo Henrique Prado', 'u', 'p', 'Gerência', 2, 'gustavo@vesmara.com.br'),
    (4, 'ana.souza', '9a5b03acd334dc4240e39557805e09d7', 'Ana Souza (Qualidade)', 'u', 'a', '', 4, 'ana@vesmara.com.br'),
    (5, 'marcos.lima', '9a5b03acd334dc4240e39557805e09d7', 'Marcos Lima (TI)', 'u', 'a', '', 4, 'marcos@vesmara.com.br'),
    (6, 'carla.dias', '9a5b03acd334dc4240e39557805e09d7', 'Carla Dias (Financeiro)', NULL, 'a', '', 4, 'carla@vesmara.com.br'),
    (7, 'integracao', '9a5b03acd334dc4240e39557805e09d7', 'Integração CRM', 's', 'a', '', 0, NULL);

-- Permissions of the older form, listed under the user's profile name.
CREATE TABLE PermissaoUsuario (
    PermissaoUsuarioId INTEGER PRIMARY KEY,
    Usuario TEXT NOT NULL,
    PermissaoGrupoId TEXT NOT NULL,
    PermissaoNomeId TEXT NOT NULL
);
INSERT INTO PermissaoUsuario (Usuario, PermissaoGrupoId, PermissaoNomeId) VALUES
    ('Supervisor Atendimento', 'Monitor', 'Visualizar'),
    ('Supervisor Atendimento', 'Monitor', 'GerenciarAtendentes'),
    ('Supervisor Atendimento', 'Fila', 'Visualizar'),
    ('Supervisor Atendimento', 'Atendente', 'Visualizar'),
    ('Supervisor Atendimento', 'Ramal', 'Visualizar'),
    ('Supervisor Atendimento', 'Tronco', 'Visualizar'),
    ('Supervisor Atendimento', 'Discador', 'Visualizar'),
    ('Supervisor Atendimento', 'Chat', 'Conversar'),
    ('Operador Noturno', 'Fila', 'Full');

-- Tipo "R": only these values; "E": all but these.
CREATE TABLE PermissaoUsuarioExtra (
    PermissaoUsuarioExtraId INTEGER PRIMARY KEY,
    Usuario TEXT NOT NULL,
    PermissaoGrupoId TEXT NOT NULL,
    PermissaoNomeId TEXT NOT NULL,
    Tipo TEXT NOT NULL,
    Valor TEXT NOT NULL
);
INSERT INTO PermissaoUsuarioExtra (Usuario, PermissaoGrupoId, PermissaoNomeId, Tipo, Valor) VALUES
    ('Supervisor Atendimento', 'Fila', 'Visualizar', 'R', '1'),
    ('Supervisor Atendimento', 'Fila', 'Visualizar', 'R', '2'),
    ('Supervisor Atendimento', 'Tronco', 'Visualizar', 'R', 'E1 Embratel'),
    ('Supervisor Atendimento', 'Tronco', 'Visualizar', 'R', 'VoipBrasil'),
    ('Supervisor Atendimento', 'Discador', 'Visualizar', 'R', '1'),
    ('Supervisor Atendimento', 'Chat', 'Conversar', 'E', 'gerente'),
    ('Operador Noturno', 'Fila', 'Visualizar', 'R', '4');
WITH RECURSIVE n(i) AS (SELECT 1001 UNION ALL SELECT i + 1 FROM n WHERE i < 1010)
INSERT INTO PermissaoUsuarioExtra (Usuario, PermissaoGrupoId, PermissaoNomeId, Tipo, Valor)
SELECT 'Supervisor Atendimento', 'Atendente', 'Visualizar', 'R', CAST(i AS TEXT) FROM n;
WITH RECURSIVE n(i) AS (SELECT 2000 UNION ALL SELECT i + 1 FROM n WHERE i < 2010)
INSERT INTO PermissaoUsuarioExtra (Usuario, PermissaoGrupoId, PermissaoNomeId, Tipo, Valor)
SELECT 'Supervisor Atendimento', 'Ramal', 'Visualizar', 'R', CAST(i AS TEXT) FROM n;

-- Hardware ports: a Khomp E1 span (board 0), a Khomp GSM board with two chips (board 1) and a
-- DAHDI E1 span (board 2).
CREATE TABLE Porta (
    PortaId INTEGER PRIMARY KEY,
    Placa INTEGER NOT NULL,
    Canal INTEGER NOT NULL,
    Marca TEXT NOT NULL,
    Tipo TEXT NOT NULL,
    TipoTronco TEXT,
    QtdeCanais INTEGER NOT NULL,
    Nome TEXT
);
INSERT INTO Porta VALUES
    (1, 0, 0, 'k', 't', 'd', 30, 'Khomp E1 - Span 1'),
    (2, 1, 0, 'k', 't', 'c', 1, 'Khomp GSM - Chip Vivo'),
    (3, 1, 1, 'k', 't', 'c', 1, 'Khomp GSM - Chip Claro'),
    (4, 2, 0, 'z', 't', 'd', 31, 'DAHDI E1 - Span 1');

-- Extensions: 30 SIP telephones 2000 to 2029 in the active profile, three in the old one.
CREATE TABLE Ramal (
    RamalId TEXT NOT NULL,
    PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT,
    Tipo TEXT NOT NULL,
    FisicoEndereco INTEGER,
    Contexto TEXT,
    PRIMARY KEY (RamalId, PerfilConfiguracaoId)
);
INSERT INTO Ramal VALUES ('2000', 1, 'Recepção', 's', NULL, 'interno');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20)
INSERT INTO Ramal SELECT CAST(2000 + i AS TEXT), 1, printf('PA %02d', i), 's', NULL, 'interno' FROM n;
INSERT INTO Ramal VALUES
    ('2021', 1, 'Supervisão', 's', NULL, 'interno'),
    ('2022', 1, 'Qualidade', 's', NULL, 'interno'),
    ('2023', 1, 'Sala de Treinamento', 's', NULL, 'interno'),
    ('2024', 1, 'Sala de Reunião', 's', NULL, 'interno'),
    ('2025', 1, 'Financeiro', 's', NULL, 'interno'),
    ('2026', 1, 'Recursos Humanos', 's', NULL, 'interno'),
    ('2027', 1, 'Suporte de TI', 's', NULL, 'interno'),
    ('2028', 1, 'Diretoria', 's', NULL, 'interno'),
    ('2029', 1, 'Portaria', 's', NULL, 'interno'),
    ('3000', 2, 'Contingência 1', 's', NULL, 'interno'),
    ('3001', 2, 'Contingência 2', 's', NULL, 'interno'),
    ('3002', 2, 'Contingência 3', 's', NULL, 'interno');

-- Trunks. For hardware trunks TroncoId is the port; the SIP trunk has none.
CREATE TABLE Tronco (
    IdTronco INTEGER PRIMARY KEY,
    PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL,
    TroncoId INTEGER NOT NULL DEFAULT 0,
    Tipo TEXT NOT NULL,
    Operadora TEXT,
    IdDeChamada TEXT,
    Host TEXT,
    Usuario TEXT
);
INSERT INTO Tronco VALUES
    (1, 1, 'E1 Embratel', 1, 'f', 'Embratel', '1133224400', NULL, NULL),
    (2, 1, 'Celular Vivo', 2, 'f', 'Vivo', '11987650001', NULL, NULL),
    (3, 1, 'Celular Claro', 3, 'f', 'Claro', '11976540002', NULL, NULL),
    (4, 1, 'E1 Oi', 4, 'f', 'Oi', '1133225500', NULL, NULL),
    (5, 1, 'VoipBrasil', 0, 's', 'VoIP Brasil', '1140042000', '200.187.64.10', '4140042000'),
    (6, 2, 'E1 Antigo', 1, 'f', 'Telefônica', '1133220000', NULL, NULL);

CREATE TABLE MotivoPausa (
    MotivoPausaId INTEGER PRIMARY KEY,
    PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL,
    Produtivo INTEGER NOT NULL DEFAULT 0
);
INSERT INTO MotivoPausa VALUES
    (1, 1, 'Almoço', 0),
    (2, 1, 'Banheiro', 0),
    (3, 1, 'Treinamento', 1),
    (4, 1, 'Reunião', 1),
    (5, 1, 'Feedback', 1),
    (6, 1, 'Lanche', 0),
    (7, 1, 'Ginástica laboral', 0),
    (8, 1, 'Backoffice', 1),
    (9, 2, 'Pausa particular', 0);

CREATE TABLE Atendente (
    AtendenteId TEXT PRIMARY KEY,
    PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL,
    Email TEXT
);
INSERT INTO Atendente VALUES
    ('1001', 1, 'Ana Paula Souza', 'ana.paula@vesmara.com.br'),
    ('1002', 1, 'Bruno Oliveira', 'bruno.oliveira@vesmara.com.br'),
    ('1003', 1, 'Carla Mendes', 'carla.mendes@vesmara.com.br'),
    ('1004', 1, 'Diego Ferreira', 'diego.ferreira@vesmara.com.br'),
    ('1005', 1, 'Eduarda Lima', 'eduarda.lima@vesmara.com.br'),
    ('1006', 1, 'Felipe Araújo', 'felipe.araujo@vesmara.com.br'),
    ('1007', 1, 'Gabriela Rocha', 'gabriela.rocha@vesmara.com.br'),
    ('1008', 1, 'Henrique Castro', 'henrique.castro@vesmara.com.br'),
    ('1009', 1, 'Isabela Martins', 'isabela.martins@vesmara.com.br'),
    ('1010', 1, 'João Pedro Alves', 'joao.alves@vesmara.com.br'),
    ('1011', 1, 'Juliana Ribeiro', 'juliana.ribeiro@vesmara.com.br'),
    ('1012', 1, 'Lucas Carvalho', 'lucas.carvalho@vesmara.com.br'),
    ('1013', 1, 'Mariana Gonçalves', 'mariana.goncalves@vesmara.com.br'),
    ('1014', 1, 'Natália Barbosa', 'natalia.barbosa@vesmara.com.br'),
    ('1015', 1, 'Otávio Pereira', 'otavio.pereira@vesmara.com.br'),
    ('1016', 1, 'Patrícia Nogueira', 'patricia.nogueira@vesmara.com.br'),
    ('1017', 1, 'Rafael Monteiro', 'rafael.monteiro@vesmara.com.br'),
    ('1018', 1, 'Sabrina Teixeira', 'sabrina.teixeira@vesmara.com.br'),
    ('1019', 1, 'Thiago Cardoso', 'thiago.cardoso@vesmara.com.br'),
    ('1020', 1, 'Vanessa Correia', 'vanessa.correia@vesmara.com.br');

-- Queues: four voice queues and a chat queue; the satisfaction survey queue is switched off.
CREATE TABLE Fila (
    FilaId INTEGER PRIMARY KEY,
    PerfilConfiguracaoId INTEGER NOT NULL,
    Nome TEXT NOT NULL,
    Numero TEXT,
    Tipo TEXT NOT NULL DEFAULT 'v',
    Ativa INTEGER NOT NULL DEFAULT 1
);
INSERT INTO Fila VALUES
    (1, 1, 'Atendimento Geral', '8001', 'v', 1),
    (2, 1, 'Suporte Técnico', '8002', 'v', 1),
    (3, 1, 'Financeiro', '8003', 'v', 1),
    (4, 1, 'Retenção', '8004', 'v', 1),
    (5, 1, 'Chat Site', '8005', 'c', 1),
    (6, 1, 'Pesquisa de Satisfação', '8006', 'v', 0);

-- Dialer campaigns: two running (sending answered calls to queues 3 and 4), one stopped.
CREATE TABLE DisCampanha (
    CampanhaId INTEGER PRIMARY KEY,
    Nome TEXT NOT NULL,
    Status INTEGER NOT NULL DEFAULT 0,
    Fila INTEGER NOT NULL DEFAULT 0,
    Tipo TEXT,
    maxTentativasDiscagens INTEGER NOT NULL DEFAULT 3,
    DataInicio TEXT
);
INSERT INTO DisCampanha VALUES
    (1, 'Cobrança Março', 1, 3, 'P', 3, date('now', 'localtime', '-10 days')),
    (2, 'Renovação de Planos', 1, 4, 'P', 4, date('now', 'localtime', '-3 days')),
    (3, 'Pesquisa Pós-venda', 0, 0, 'A', 2, date('now', 'localtime', '-40 days'));

-- Live calls the server knows of: kept in step with the live state (none at start).
CREATE TABLE ChamadasAtivas (
    UniqueId TEXT PRIMARY KEY,
    DestinoInterno TEXT,
    DestinoInternoId TEXT,
    BridgeChannel TEXT,
    TimeStamp INTEGER,
    TimeStampAtendimento INTEGER
);

-- Dialer customers, their telephones and the dialling history. Agenda is a local date-time text
-- ("YYYY-MM-DD HH:MM:SS"), compared with NOW().
CREATE TABLE DisCliente (
    CampanhaId INTEGER NOT NULL,
    ClienteId INTEGER NOT NULL,
    Nome TEXT NOT NULL,
    Documento TEXT,
    ClassificacaoId INTEGER,
    Bloqueado INTEGER NOT NULL DEFAULT 0,
    Agenda TEXT,
    PRIMARY KEY (CampanhaId, ClienteId)
);
CREATE TABLE DisTelefone (
    CampanhaId INTEGER NOT NULL,
    ClienteId INTEGER NOT NULL,
    Telefone TEXT NOT NULL,
    Ativo INTEGER NOT NULL DEFAULT 1,
    numTentativas INTEGER NOT NULL DEFAULT 0,
    Agenda TEXT,
    LastStatus INTEGER,
    PRIMARY KEY (CampanhaId, ClienteId, Telefone)
);
CREATE TABLE DisStatusDiscagem (
    CampanhaId INTEGER NOT NULL,
    ClienteId INTEGER NOT NULL,
    Status INTEGER NOT NULL,
    DataHora TEXT
);
CREATE TABLE DisDiscagem (
    DiscagemId INTEGER PRIMARY KEY,
    CampanhaId INTEGER NOT NULL,
    ClienteId INTEGER NOT NULL,
    Telefone TEXT,
    ClassificacaoId INTEGER,
    DataHora TEXT
);

WITH RECURSIVE
    n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 80),
    prenome(k, v) AS (VALUES (0, 'Adriana'), (1, 'Carlos'), (2, 'Fernanda'), (3, 'José'),
        (4, 'Luciana'), (5, 'Marcelo'), (6, 'Renata'), (7, 'Roberto'), (8, 'Simone'),
        (9, 'Antônio'), (10, 'Cláudia'), (11, 'Paulo')),
    sobrenome(k, v) AS (VALUES (0, 'Silva'), (1, 'Santos'), (2, 'Oliveira'), (3, 'Souza'),
        (4, 'Rodrigues'), (5, 'Ferreira'), (6, 'Almeida'), (7, 'Nascimento'), (8, 'Lima'),
        (9, 'Araújo'), (10, 'Costa'))
INSERT INTO DisCliente
SELECT CASE WHEN i <= 40 THEN 1 WHEN i <= 70 THEN 2 ELSE 3 END,
       i,
       prenome.v || ' ' || sobrenome.v,
       printf('%03d.%03d.%03d-%02d', (i * 37) % 1000, (i * 113) % 1000, (i * 271) % 1000, i % 100),
       CASE WHEN i % 6 = 0 THEN 1 END,
       CASE WHEN i % 17 = 0 THEN 1 ELSE 0 END,
       CASE i % 8 WHEN 3 THEN datetime('now', 'localtime', '+3 hours')
                  WHEN 5 THEN datetime('now', 'localtime', '-1 day') END
FROM n JOIN prenome ON prenome.k = i % 12 JOIN sobrenome ON sobrenome.k = (i * 7) % 11;

INSERT INTO DisTelefone
SELECT CampanhaId, ClienteId, printf('119%08d', 70000000 + ClienteId * 7919 % 29999999),
       CASE WHEN ClienteId % 13 = 0 THEN 0 ELSE 1 END,
       ClienteId % 5,
       CASE WHEN ClienteId % 9 = 4 THEN datetime('now', 'localtime', '+1 day') END,
       CASE ClienteId % 4 WHEN 1 THEN 4 WHEN 2 THEN 2 END
FROM DisCliente;
INSERT INTO DisTelefone
SELECT CampanhaId, ClienteId, printf('11%08d', 30000000 + ClienteId * 4391 % 9999999), 1, 0, NULL, NULL
FROM DisCliente WHERE ClienteId % 3 = 0;

INSERT INTO DisStatusDiscagem
SELECT CampanhaId, ClienteId, ClienteId % 3 + 1, datetime('now', 'localtime', printf('-%d minutes', ClienteId * 4))
FROM DisCliente WHERE ClienteId % 10 < 7 AND CampanhaId < 3;

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150)
INSERT INTO DisDiscagem (CampanhaId, ClienteId, Telefone, ClassificacaoId, DataHora)
SELECT t.CampanhaId, t.ClienteId, t.Telefone, i % 5 + 1,
       datetime('now', 'localtime', printf('-%d minutes', i * 3))
FROM n JOIN DisTelefone t ON t.rowid = (i * 7) % (SELECT count(*) FROM DisTelefone) + 1;

-- Internal chat messages: one row per message, one row per recipient (DataLeitura NULL = unread).
CREATE TABLE ChatMensagemDe (
    idChatMensagemDe INTEGER PRIMARY KEY,
    De TEXT NOT NULL,
    DataEnvio TEXT NOT NULL,
    Mensagem TEXT NOT NULL
);
CREATE TABLE ChatMensagemPara (
    idChatMensagemPara INTEGER PRIMARY KEY,
    idChatMensagemDe INTEGER NOT NULL REFERENCES ChatMensagemDe,
    Para TEXT NOT NULL,
    DataLeitura TEXT
);
INSERT INTO ChatMensagemDe VALUES
    (1, 'marcos.lima', datetime('now', 'localtime', '-95 minutes'), 'Bom dia! O ramal 2017 está sem registro, pode verificar se o aparelho está ligado?'),
    (2, 'marcos.lima', datetime('now', 'localtime', '-80 minutes'), 'Já abri chamado com a operadora por causa do E1 da Oi.'),
    (3, 'ana.souza', datetime('now', 'localtime', '-70 minutes'), 'A fila de Suporte Técnico está com espera alta.'),
    (4, 'ana.souza', datetime('now', 'localtime', '-30 minutes'), 'Preciso do relatório de pausas até as 17h, tudo bem?'),
    (5, 'demo', datetime('now', 'localtime', '-25 minutes'), 'Combinado, envio em seguida.'),
    (6, 'carla.dias', datetime('now', 'localtime', '-20 minutes'), 'Reunião de resultados às 15h na sala 2024.'),
    (7, 'ana.souza', datetime('now', 'localtime', '-15 minutes'), 'Pode cobrir o intervalo da equipe da manhã?'),
    (8, 'ana.souza', datetime('now', 'localtime', '-5 minutes'), 'Lembrete: treinamento de atendimento na sexta-feira.');
INSERT INTO ChatMensagemPara (idChatMensagemDe, Para, DataLeitura) VALUES
    (1, 'demo', NULL),
    (2, 'demo', NULL),
    (3, 'demo', datetime('now', 'localtime', '-60 minutes')),
    (4, 'demo', NULL),
    (5, 'ana.souza', datetime('now', 'localtime', '-24 minutes')),
    (6, 'gerente', NULL),
    (7, 'restrito', NULL),
    (8, 'demo', NULL),
    (8, 'gerente', datetime('now', 'localtime', '-2 minutes'));

-- ---------------------------------------------------------------------------------------------
-- Seed of the live state.

-- Agents logged in at start (Dispositivo), their pauses and their last call and pause, in
-- seconds before the server starts. Agents without a row are logged off.
CREATE TABLE SimAtendente (
    AtendenteId TEXT PRIMARY KEY,
    Dispositivo TEXT,
    LoginHaSegundos INTEGER,
    Pausado INTEGER NOT NULL DEFAULT 0,
    MotivoPausaId INTEGER,
    PausaHaSegundos INTEGER,
    UltimaChamadaHaSegundos INTEGER,
    UltimaPausaHaSegundos INTEGER
);
INSERT INTO SimAtendente VALUES
    ('1001', 'SIP/2001', 14400, 0, NULL, NULL, 95, 3600),
    ('1002', 'SIP/2002', 14100, 0, NULL, NULL, 410, 5400),
    ('1003', 'SIP/2003', 13800, 0, NULL, NULL, 35, NULL),
    ('1004', 'SIP/2004', 12600, 1, 1, 1500, 1700, 7200),
    ('1005', 'SIP/2005', 10800, 0, NULL, NULL, 220, 2400),
    ('1006', 'SIP/2006', 10750, 0, NULL, NULL, 15, 4100),
    ('1007', 'SIP/2007', 9000, 0, NULL, NULL, 640, NULL),
    ('1008', 'SIP/2008', 8800, 0, NULL, NULL, 130, 1900),
    ('1009', 'SIP/2009', 7200, 1, 2, 240, 300, 3300),
    ('1010', 'SIP/2010', 7100, 0, NULL, NULL, 75, 2800),
    ('1011', 'SIP/2011', 6000, 0, NULL, NULL, 905, NULL),
    ('1012', 'SIP/2012', 5400, 0, NULL, NULL, 48, 1200),
    ('1013', 'SIP/2013', 4800, 1, 3, 2700, 2900, NULL),
    ('1014', 'SIP/2014', 3600, 0, NULL, NULL, 260, NULL),
    ('1015', 'SIP/2015', 1800, 0, NULL, NULL, 120, NULL),
    ('1016', 'SIP/2016', 900, 0, NULL, NULL, NULL, NULL),
    ('1017', NULL, NULL, 0, NULL, NULL, 86400, NULL),
    ('1018', NULL, NULL, 0, NULL, NULL, NULL, NULL);

CREATE TABLE SimMembroFila (
    FilaId INTEGER NOT NULL,
    AtendenteId TEXT NOT NULL,
    Penalidade INTEGER NOT NULL DEFAULT 0,
    ChamadasAtendidas INTEGER NOT NULL DEFAULT 0
);
INSERT INTO SimMembroFila VALUES
    (1, '1001', 0, 21), (1, '1002', 0, 18), (1, '1003', 0, 24), (1, '1004', 0, 12),
    (1, '1005', 0, 16), (1, '1006', 0, 19), (1, '1007', 0, 14), (1, '1008', 0, 18),
    (2, '1005', 1, 7), (2, '1006', 1, 5), (2, '1007', 1, 6), (2, '1008', 1, 4),
    (2, '1009', 0, 17), (2, '1010', 0, 22), (2, '1011', 0, 19), (2, '1012', 0, 17),
    (3, '1011', 0, 9), (3, '1012', 0, 11), (3, '1013', 0, 6), (3, '1014', 0, 14), (3, '1001', 2, 8),
    (4, '1013', 0, 5), (4, '1014', 0, 7), (4, '1015', 0, 8), (4, '1016', 0, 4),
    (4, '1017', 0, 0), (4, '1018', 0, 0);

-- Agents of the chat queue as the chat server sees them: their chat login (an agent may also
-- serve telephone queues, as 1002 does) and where it comes from.
CREATE TABLE SimAtendenteChat (
    AtendenteId TEXT NOT NULL,
    FilaId INTEGER NOT NULL,
    IPLogin TEXT,
    Logado INTEGER NOT NULL DEFAULT 0
);
INSERT INTO SimAtendenteChat VALUES
    ('1019', 5, '10.20.1.19', 1), ('1020', 5, '10.20.1.20', 0), ('1002', 5, '10.20.1.2', 1),
    ('1016', 5, '10.20.1.16', 0);

-- Queue statistics at start (times in seconds, service level in percent).
CREATE TABLE SimFila (
    FilaId INTEGER PRIMARY KEY,
    Estrategia TEXT,
    Maximo INTEGER,
    Completadas INTEGER,
    Abandonadas INTEGER,
    TempoEspera INTEGER,
    TempoAtendimento INTEGER,
    NivelServico INTEGER,
    NivelServicoPerf TEXT,
    Peso INTEGER
);
INSERT INTO SimFila VALUES
    (1, 'rrmemory', 0, 142, 9, 23, 184, 20, '87.3', 0),
    (2, 'leastrecent', 0, 97, 12, 41, 312, 30, '71.5', 0),
    (3, 'ringall', 0, 48, 3, 15, 265, 20, '92.0', 0),
    (4, 'rrmemory', 10, 31, 4, 35, 410, 30, '80.6', 5),
    (5, 'ringall', 0, 26, 2, 50, 520, 60, '88.4', 0);

-- Registration of the SIP telephones at start.
CREATE TABLE SimRamal (
    RamalId TEXT PRIMARY KEY,
    Registrado INTEGER NOT NULL DEFAULT 0,
    Endereco TEXT,
    Latencia INTEGER
);
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 29)
INSERT INTO SimRamal
SELECT CAST(2000 + i AS TEXT),
       CASE WHEN i BETWEEN 17 AND 20 OR i = 28 THEN 0 ELSE 1 END,
       CASE WHEN i BETWEEN 17 AND 20 OR i = 28 THEN NULL ELSE printf('192.168.10.%d', 100 + i) END,
       3 + (i * 7) % 19
FROM n;

-- Cellular signal levels and alarms of the ports (NULL = in service).
CREATE TABLE SimPorta (
    PortaId INTEGER PRIMARY KEY,
    Sinal INTEGER,
    Alarme TEXT
);
INSERT INTO SimPorta VALUES (2, 82, NULL), (3, 57, NULL);

CREATE TABLE SimTronco (
    Nome TEXT PRIMARY KEY,
    Alcancavel INTEGER NOT NULL DEFAULT 1
);
INSERT INTO SimTronco VALUES ('VoipBrasil', 1);

-- Call-reason counters per queue; a row with SubMotivo counts a sub-reason of its Motivo.
CREATE TABLE SimMotivoChamada (
    FilaId INTEGER NOT NULL,
    Motivo TEXT NOT NULL,
    SubMotivo TEXT,
    Quantidade INTEGER NOT NULL
);
INSERT INTO SimMotivoChamada VALUES
    (1, 'Dúvida sobre fatura', NULL, 34),
    (1, 'Dúvida sobre fatura', 'Segunda via', 20),
    (1, 'Dúvida sobre fatura', 'Valor divergente', 14),
    (1, 'Mudança de plano', NULL, 18),
    (1, 'Cancelamento', NULL, 12),
    (1, 'Reclamação', NULL, 9),
    (2, 'Sem conexão', NULL, 41),
    (2, 'Sem conexão', 'Modem sem sinal', 25),
    (2, 'Sem conexão', 'Fibra rompida', 16),
    (2, 'Lentidão', NULL, 27),
    (2, 'Configuração de roteador', NULL, 15),
    (3, 'Negociação de débito', NULL, 22),
    (3, 'Negociação de débito', 'Parcelamento', 13),
    (3, 'Negociação de débito', 'Desconto à vista', 9),
    (3, 'Segunda via de boleto', NULL, 30),
    (4, 'Oferta aceita', NULL, 11),
    (4, 'Cancelamento efetivado', NULL, 6),
    (4, 'Reversão', NULL, 9);

-- Permissions of platform users with an idUser, answered as ZXUserPermission events.
-- A row without Valor grants the permission for every value.
CREATE TABLE SimPermissao (
    idUser INTEGER NOT NULL,
    Grupo TEXT NOT NULL,
    Permissao TEXT NOT NULL,
    Valor TEXT
);
INSERT INTO SimPermissao VALUES
    (3, 'Monitorar Call Center', 'Visualizar', NULL),
    (3, 'Gerenciar Atendentes', 'Visualizar', NULL),
    (3, 'Fila', 'Visualizar', '1'),
    (3, 'Fila', 'Visualizar', '3'),
    (3, 'Fila', 'Visualizar', '4'),
    (3, 'Fila', 'Visualizar', '5'),
    (3, 'Atendente', 'Full', NULL),
    (3, 'Ramal', 'Visualizar', NULL),
    (3, 'Tronco', 'Visualizar', '1'),
    (3, 'Tronco', 'Visualizar', '5'),
    (3, 'Campanha', 'Visualizar', '1'),
    (3, 'Campanha', 'Visualizar', '2'),
    (3, 'Conversar Chat Interno', 'Visualizar', NULL),
    (3, 'Monitorar Chat Externo', 'Visualizar', NULL),
    (3, 'Monitorar Conversa Chat Externo', 'Visualizar', '5');

-- Internal-chat users present at start.
CREATE TABLE SimChatOnline (
    Usuario TEXT PRIMARY KEY
);
INSERT INTO SimChatOnline VALUES ('ana.souza'), ('marcos.lima');
