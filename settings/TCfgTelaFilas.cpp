#include "settings/TCfgTelaFilas.h"

#include "settings/TIniDocumento.h"
#include "settings/TIniFile.h"
#include "settings/TIniValores.h"

#include <QFile>

#include <QSet>

#include <algorithm>

namespace {

const char* const kChavesP[] = {"ColHistoricoP", "ColChAtivasP", "ColAtendentesP", "ColChamadasP",
                                "ColMotivosChP"};
const char* const kChavesV[] = {"ColHistoricoV", "ColChAtivasV", "ColAtendentesV", "ColChamadasV",
                                "ColMotivosChV"};
const char* const kNomes[] = {"Histórico de chamadas", "Chamadas ativas", "Atendentes", "Chamadas",
                              "Motivos de chamadas"};
// An id is a moment (14 digits); a longer run of digits is not ours.
constexpr qsizetype kMaxId = 20;

// A queue identifier the key syntax can hold (it is appended to a key name).
bool ParteDeChave(const QString& id) {
    if (id.isEmpty() || id != id.trimmed()) return false;
    for (const QChar c : id)
        if (c == u'=' || c == u'[' || c == u']' || c == u';' || c.unicode() < 0x20) return false;
    return true;
}

QString PrefixoSecao(const QString& nomeBase) {
    return u"Tela" + nomeBase + u'_';
}

} // namespace

QString NomeColuna(int coluna) {
    return coluna >= 0 && coluna < TCfgTelaFilas::kColunas ? QString::fromUtf8(kNomes[coluna])
                                                           : QString();
}

std::array<int, TCfgTelaFilas::kColunas>
NormalizaPosicoes(const std::array<int, TCfgTelaFilas::kColunas>& lidas) {
    constexpr int n = TCfgTelaFilas::kColunas;
    std::array<int, n> resultado{};
    std::array<bool, n> tomada{};
    std::array<bool, n> atribuida{};
    for (int c = 0; c < n; ++c) {
        const int p = lidas[size_t(c)];
        if (p < 0 || p >= n || tomada[size_t(p)]) continue;
        tomada[size_t(p)] = true;
        atribuida[size_t(c)] = true;
        resultado[size_t(c)] = p;
    }
    int livre = 0;
    for (int c = 0; c < n; ++c) {
        if (atribuida[size_t(c)]) continue;
        while (tomada[size_t(livre)])
            ++livre;
        tomada[size_t(livre)] = true;
        resultado[size_t(c)] = livre;
    }
    return resultado;
}

std::array<int, TCfgTelaFilas::kColunas>
OrdemColunas(const std::array<int, TCfgTelaFilas::kColunas>& posicoes) {
    std::array<int, TCfgTelaFilas::kColunas> ordem{};
    const auto p = NormalizaPosicoes(posicoes);
    for (int c = 0; c < TCfgTelaFilas::kColunas; ++c)
        ordem[size_t(p[size_t(c)])] = c;
    return ordem;
}

TCfgTelaFilas LeCfgTelaFilas(const TSecaoTela& secao) {
    TCfgTelaFilas cfg;
    const QString ocultas = secao.LeTexto(QStringLiteral("OcultarFilas"));
    QSet<QString> vistas;
    for (const QString& texto : ocultas.split(u',', Qt::SkipEmptyParts)) {
        const QString id = texto.trimmed();
        if (id.isEmpty() || vistas.contains(id)) continue;
        if (cfg.FilasOcultas.size() >= TCfgTelaFilas::kMaxOcultas) break;
        vistas.insert(id);
        cfg.FilasOcultas << id;
    }
    std::array<int, TCfgTelaFilas::kColunas> lidas{};
    for (int c = 0; c < TCfgTelaFilas::kColunas; ++c) {
        lidas[size_t(c)] = secao.LeInteiro(QString::fromLatin1(kChavesP[c]), c);
        cfg.Visiveis[size_t(c)] = secao.LeBool(QString::fromLatin1(kChavesV[c]), true);
    }
    cfg.Posicoes = NormalizaPosicoes(lidas);
    cfg.NomeTela = secao.LeTexto(QStringLiteral("NomeTela"));
    return cfg;
}

void EscreveCfgTelaFilas(TSecaoTela& secao, const TCfgTelaFilas& cfg) {
    QStringList ocultas;
    // A comma inside an identifier would split it on reading.
    for (const QString& id : cfg.FilasOcultas)
        if (!id.contains(u',') && ParteDeChave(id)) ocultas << id;
    secao.EscreveTexto(QStringLiteral("OcultarFilas"), ocultas.join(u','));
    const auto posicoes = NormalizaPosicoes(cfg.Posicoes);
    for (int c = 0; c < TCfgTelaFilas::kColunas; ++c) {
        secao.EscreveInteiro(QString::fromLatin1(kChavesP[c]), posicoes[size_t(c)]);
        secao.EscreveBool(QString::fromLatin1(kChavesV[c]), cfg.Visiveis[size_t(c)]);
    }
    if (!cfg.NomeTela.isEmpty()) secao.EscreveTexto(QStringLiteral("NomeTela"), cfg.NomeTela);
}

QHash<QString, TCfgGrafico> LeCfgGraficos(const QString& arquivo, const QString& registro,
                                          const QStringList& filas) {
    QHash<QString, TCfgGrafico> graficos;
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly)) return graficos;
    const TIniDocumento doc = TIniDocumento::FromBytes(f.read(TIniFile::TamanhoMaximo));
    const QString secao = u"Tela" + registro;
    if (!doc.TemSecao(secao)) return graficos;
    for (const QString& id : filas) {
        if (!ParteDeChave(id) || graficos.contains(id)) continue;
        const auto fatias = doc.Valor(secao, u"FatiasFila" + id);
        const auto nivel = doc.Valor(secao, u"TipoGraficoMotivoChamadaFila" + id);
        const auto motivo = doc.Valor(secao, u"MotivoChamadaAtualFila" + id);
        if (!fatias && !nivel && !motivo) continue;
        TCfgGrafico cfg;
        cfg.Fatias = std::clamp(fatias ? TextoParaInteiro(*fatias, 10) : 10, 2, 10);
        const int n = nivel ? TextoParaInteiro(*nivel, 0) : 0;
        cfg.Nivel = n >= 0 && n <= 2 ? n : 0;
        cfg.Motivo = motivo.value_or(QString());
        if (cfg.Nivel == 2 && cfg.Motivo.isEmpty()) cfg.Nivel = 1;
        graficos.insert(id, cfg);
    }
    return graficos;
}

void EscreveCfgGrafico(TSecaoTela& secao, const QString& filaId, const TCfgGrafico& cfg) {
    if (!ParteDeChave(filaId)) return;
    secao.EscreveInteiro(u"FatiasFila" + filaId, cfg.Fatias);
    secao.EscreveInteiro(u"TipoGraficoMotivoChamadaFila" + filaId, cfg.Nivel);
    secao.EscreveTexto(u"MotivoChamadaAtualFila" + filaId, cfg.Motivo);
}

bool IdTelaValido(const QString& id) {
    if (id.isEmpty() || id.size() > kMaxId) return false;
    return std::all_of(id.begin(), id.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QList<TTelaPersonalizada> TelasPersonalizadas(const QString& arquivo, const QString& nomeBase) {
    QList<TTelaPersonalizada> telas;
    const TIniFile ini(arquivo);
    const QString prefixo = PrefixoSecao(nomeBase);
    for (const QString& secao : ini.ReadSections()) {
        if (!secao.startsWith(prefixo, Qt::CaseInsensitive)) continue;
        const QString id = secao.mid(prefixo.size());
        if (!IdTelaValido(id)) continue;
        telas.append({id, ini.ReadString(secao, QStringLiteral("NomeTela"))});
    }
    return telas;
}

bool NomeTelaEmUso(const QString& arquivo, const QString& nomeBase, const QString& nome,
                   const QString& idProprio) {
    const QString procurado = nome.trimmed();
    for (const TTelaPersonalizada& t : TelasPersonalizadas(arquivo, nomeBase))
        if (t.Id != idProprio && t.Nome.trimmed().compare(procurado, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString NovoIdTela(const QString& arquivo, const QString& nomeBase, const QDateTime& agora) {
    QSet<QString> tomados;
    for (const TTelaPersonalizada& t : TelasPersonalizadas(arquivo, nomeBase))
        tomados.insert(t.Id);
    QDateTime momento = agora;
    QString id = momento.toString(QStringLiteral("yyyyMMddhhmmss"));
    while (tomados.contains(id)) {
        momento = momento.addSecs(1);
        id = momento.toString(QStringLiteral("yyyyMMddhhmmss"));
    }
    return id;
}
