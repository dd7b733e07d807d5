#include "settings/TCoresMotivos.h"

#include "settings/TIniFile.h"

namespace {
const QString kSecaoMotivos = QStringLiteral("CoresMotivos");
const QString kSecaoSubMotivos = QStringLiteral("CoresSubMotivos");
} // namespace

TCoresMotivos::TLista* TCoresMotivos::Lista(const QString& tipo) {
    if (tipo == u"Motivo") return &m_motivos;
    if (tipo == u"SubMotivo") return &m_subMotivos;
    return nullptr;
}

const TCoresMotivos::TLista* TCoresMotivos::Lista(const QString& tipo) const {
    return const_cast<TCoresMotivos*>(this)->Lista(tipo);
}

int TCoresMotivos::LeCorMotivoChamada(const QString& tipo, const QString& nome) const {
    if (const TLista* lista = Lista(tipo))
        for (const auto& [n, cor] : *lista)
            if (n == nome) return cor;
    return 0;
}

void TCoresMotivos::SetaCorMotivoChamada(const QString& tipo, const QString& nome, int cor) {
    TLista* lista = Lista(tipo);
    if (!lista) return;
    for (qsizetype i = 0; i < lista->size(); ++i) {
        if ((*lista)[i].first != nome) continue;
        if (cor > 0)
            (*lista)[i].second = cor;
        else
            lista->removeAt(i);
        return;
    }
    if (cor > 0) lista->append({nome, cor});
}

void TCoresMotivos::LimpaCoresMotivoChamada() {
    m_motivos.clear();
    m_subMotivos.clear();
}

QString TCoresMotivos::ChaveDoNome(const QString& nome) {
    QString chave;
    for (qsizetype i = 0; i < nome.size(); ++i) {
        const QChar c = nome[i];
        const bool especial = c == u'=' || c == u'%' || c.unicode() < 0x20 || c.unicode() == 0x7F ||
                              (i == 0 && (c == u';' || c == u'[' || c == u' ')) ||
                              (i == nome.size() - 1 && c == u' ');
        if (especial)
            chave += u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            chave += c;
    }
    return chave;
}

QString TCoresMotivos::NomeDaChave(const QString& chave) {
    QString nome;
    for (qsizetype i = 0; i < chave.size(); ++i) {
        if (chave[i] == u'%' && i + 2 < chave.size()) {
            bool ok = false;
            const int code = chave.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                nome += QChar(char16_t(code));
                i += 2;
                continue;
            }
        }
        nome += chave[i];
    }
    return nome;
}

void TCoresMotivos::SalvaCoresMotivoChamada(const QString& arquivo) const {
    TIniFile ini(arquivo);
    ini.EraseSection(kSecaoMotivos);
    ini.EraseSection(kSecaoSubMotivos);
    TAlteracoesIni alteracoes;
    for (const auto& [nome, cor] : m_motivos)
        alteracoes.WriteInteger(kSecaoMotivos, ChaveDoNome(nome), cor);
    for (const auto& [nome, cor] : m_subMotivos)
        alteracoes.WriteInteger(kSecaoSubMotivos, ChaveDoNome(nome), cor);
    if (!alteracoes.isEmpty()) ini.Write(alteracoes);
}

void TCoresMotivos::CarregaCoresMotivoChamada(const QString& arquivo) {
    const TIniFile ini(arquivo);
    for (const auto& [secao, tipo] : {std::pair{kSecaoMotivos, QStringLiteral("Motivo")},
                                      std::pair{kSecaoSubMotivos, QStringLiteral("SubMotivo")}}) {
        for (const QString& chave : ini.ReadSection(secao)) {
            const int cor = ini.ReadInteger(secao, chave, 0);
            if (cor > 0) SetaCorMotivoChamada(tipo, NomeDaChave(chave), cor);
        }
    }
}
