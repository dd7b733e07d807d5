#include "model/telephony/TSaidasComando.h"

namespace {

// Characters `from` (1-based) to `from + n - 1` of the line; shorter or empty past its end.
QStringView Colunas(QStringView linha, qsizetype from, qsizetype n) {
    const qsizetype inicio = from - 1;
    if (inicio < 0 || inicio >= linha.size()) return {};
    return linha.sliced(inicio, std::min(n, linha.size() - inicio));
}

bool ComecaSemCaixa(QStringView linha, QStringView prefixo) {
    return linha.startsWith(prefixo, Qt::CaseInsensitive);
}

bool LinhaDeCabecalho(QStringView linha) {
    return ComecaSemCaixa(linha, u"Response:") || ComecaSemCaixa(linha, u"Privilege:") ||
           ComecaSemCaixa(linha, u"ActionID:") || ComecaSemCaixa(linha, u"Message:");
}

constexpr QStringView kFimComando = u"--END COMMAND--";

} // namespace

std::vector<QStringView> LinhasDaSaida(const std::vector<QStringView>& linhasPacote) {
    std::vector<QStringView> saida;
    size_t i = 0;
    while (i < linhasPacote.size() && LinhaDeCabecalho(linhasPacote[i]))
        ++i;
    // The last entry is the packet's closing empty line, not an empty console line.
    const size_t fim = linhasPacote.empty() ? 0 : linhasPacote.size() - 1;
    for (; i < fim; ++i) {
        QStringView texto = linhasPacote[i];
        if (ComecaSemCaixa(texto, u"Output:")) {
            texto = texto.sliced(7);
            if (texto.startsWith(u' ')) texto = texto.sliced(1);
        }
        // Console text keeps its own lone-LF line ends inside one CR LF line.
        for (;;) {
            const qsizetype lf = texto.indexOf(u'\n');
            QStringView linha = lf < 0 ? texto : texto.first(lf);
            if (linha.endsWith(u'\r')) linha.chop(1);
            if (linha.endsWith(kFimComando)) {
                linha.chop(kFimComando.size());
                if (!linha.isEmpty()) saida.push_back(linha);
                return saida;
            }
            saida.push_back(linha);
            if (lf < 0) break;
            texto = texto.sliced(lf + 1);
        }
    }
    return saida;
}

bool TLeitorSipPeers::Le(QStringView linha, TLinhaSipPeers& saida) {
    if (linha.startsWith(u"Name/username")) {
        const qsizetype status = linha.indexOf(u"Status");
        const qsizetype host = linha.indexOf(u"Host");
        if (status >= 0) m_colunaStatus = status + 1;
        if (host >= 0) m_colunaHost = host + 1;
        m_cabecalho = true;
        return false;
    }
    if (!m_cabecalho || linha.size() <= m_colunaStatus) return false;

    QStringView nome = Colunas(linha, 1, 25).trimmed();
    const qsizetype barra = nome.indexOf(u'/');
    if (barra >= 0) nome = nome.first(barra);
    saida.Nome = nome.toString();

    saida.StatusOk = Colunas(linha, m_colunaStatus, 2) == u"OK";
    if (saida.StatusOk)
        saida.StatusPeer = QStringLiteral("Reachable");
    else if (Colunas(linha, m_colunaStatus, 11) == u"UNREACHABLE" ||
             Colunas(linha, m_colunaStatus, 7) == u"UNKNOWN")
        saida.StatusPeer = QStringLiteral("Unreachable");
    else
        saida.StatusPeer.clear();

    saida.TemEndereco = Colunas(linha, m_colunaHost + 1, 11) != u"Unspecified";
    saida.Endereco = Colunas(linha, m_colunaHost, 40).trimmed().toString();
    return true;
}

TLinhaKhomp LeLinhaKhomp(QStringView linha) {
    TLinhaKhomp saida;
    QStringView resto = linha;
    for (qsizetype barra; (barra = resto.indexOf(u'|')) >= 0;) {
        saida.Campos << resto.first(barra).trimmed().toString();
        resto = resto.sliced(barra + 1);
    }
    if (!resto.trimmed().isEmpty()) saida.Campos << resto.trimmed().toString();

    if (saida.Campos.size() <= 4) return saida;
    const QString& placaCanal = saida.Campos[1];
    const qsizetype virgula = placaCanal.indexOf(u',');
    if (virgula < 0) return saida;
    bool ok = false;
    int canal = QStringView(placaCanal).sliced(virgula + 1).left(10).toInt(&ok);
    if (!ok) canal = -1;
    saida.Dispositivo =
        u"Khomp/B" + QStringView(placaCanal).first(virgula) + u"C" + QString::number(canal);
    return saida;
}

bool TLeitorDahdi::Le(QStringView linha, int& numero, QString& estado) {
    if (m_fim) return false;
    if (!m_pseudo) {
        m_pseudo = linha.contains(u"pseudo");
        return false;
    }
    if (linha.contains(u"COMMAND")) {
        m_fim = true;
        return false;
    }
    bool ok = false;
    numero = Colunas(linha, 4, 4).trimmed().toInt(&ok);
    if (!ok || numero <= 0) return false;
    estado = Colunas(linha, 79, 30).trimmed().toString();
    return true;
}
