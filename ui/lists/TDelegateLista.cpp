#include "ui/lists/TDelegateLista.h"

#include "ui/lists/TModeloTabela.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

QRect AreaTexto(const QRect& celula) {
    return celula.adjusted(3, 1, -3, 0);
}

QFont FonteDaLinha(const QStyleOptionViewItem& option, bool negrito) {
    QFont f = option.font;
    f.setBold(negrito);
    return f;
}

} // namespace

TDelegateLista::TDelegateLista(TModeloTabela* modelo, QObject* parent)
    : QStyledItemDelegate(parent), m_modelo(modelo) {}

QString TDelegateLista::CortaLinha(const QString& texto, const QFontMetrics& fm, int largura,
                                   int k) {
    const int w = fm.horizontalAdvance(texto);
    if (w <= largura || texto.isEmpty()) return texto;
    qsizetype n = qsizetype(texto.size()) * (qint64(largura) * 100 / w) / 100 - k;
    QString t = texto.left(std::max<qsizetype>(0, n));
    while (!t.isEmpty() && fm.horizontalAdvance(t) > largura)
        t.chop(1);
    return t;
}

void TDelegateLista::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    if (m_icone)
        PintaTile(painter, option, index);
    else
        PintaLinha(painter, option, index);
}

const QFontMetrics& TDelegateLista::Metricas(const QFont& base, bool negrito) const {
    if (!m_metricas[0] || !(base == m_fonteBase)) {
        m_fonteBase = base;
        for (int b = 0; b < 2; ++b) {
            m_fontes[b] = base;
            m_fontes[b].setBold(b == 1);
            m_metricas[b].emplace(m_fontes[b]);
            m_larguras[b].clear();
        }
    }
    return *m_metricas[negrito ? 1 : 0];
}

int TDelegateLista::Largura(const QString& texto, bool negrito) const {
    QHash<QString, int>& larguras = m_larguras[negrito ? 1 : 0];
    const auto it = larguras.constFind(texto);
    if (it != larguras.cend()) return *it;
    // Durations change every second: the kept widths are bounded, not a history.
    if (larguras.size() >= kMaxLarguras) larguras.clear();
    const int w = m_metricas[negrito ? 1 : 0]->horizontalAdvance(texto);
    larguras.insert(texto, w);
    return w;
}

void TDelegateLista::PintaLinha(QPainter* p, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const TLinhaTabela& l = m_modelo->Linha(index.row());
    const QRect& r = option.rect;
    p->save();
    p->fillRect(r, l.Fundo);
    // Row separator; one-pixel lines filled rather than stroked (the cheaper path).
    p->fillRect(QRect(r.left(), r.top(), r.width(), 1), Qt::white);
    if (option.state & QStyle::State_Selected) {
        // The state colour stays: the selection shows as a frame around the row.
        const QColor realce = option.palette.highlight().color();
        p->fillRect(QRect(r.left(), r.top() + 1, r.width(), 1), realce);
        p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), realce);
    }
    const QFontMetrics& fm = Metricas(option.font, l.Negrito);
    p->setFont(m_fontes[l.Negrito ? 1 : 0]);
    p->setPen(l.Fonte);
    const QString texto = m_modelo->Texto(index.row(), index.column());
    const QRect area = AreaTexto(r);
    const int alinhamento = int(m_modelo->AlinhamentoDaColuna(index.column()));
    if (Largura(texto, l.Negrito) <= area.width())
        p->drawText(area, alinhamento, texto);
    else
        p->drawText(area, alinhamento, fm.elidedText(texto, Qt::ElideRight, area.width()));
    p->restore();
}

void TDelegateLista::PintaTile(QPainter* p, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const TLinhaTabela& l = m_modelo->Linha(index.row());
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    const QRect r = option.rect.adjusted(1, 0, -1, 0);
    p->setPen(QPen((option.state & QStyle::State_Selected) ? option.palette.highlight().color()
                                                           : QColor(Qt::blue),
                   (option.state & QStyle::State_Selected) ? 2 : 1));
    p->setBrush(l.Fundo);
    p->drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p->setFont(FonteDaLinha(option, true));
    p->setPen(l.Fonte);
    const QFontMetrics fm(p->font());
    const int largura = r.width() - 4;
    const QString linha1 = CortaLinha(l.Linha1, fm, largura, 1);
    if (l.Linha2.isEmpty() || m_nivelIcone == 0) {
        p->drawText(r, Qt::AlignCenter, linha1);
    } else {
        const QString linha2 = CortaLinha(l.Linha2, fm, largura, 2);
        const int h = fm.height();
        const int g = (r.height() - h) / 8;
        p->drawText(QRect(r.left(), r.top() + 2 * g, r.width(), h), Qt::AlignHCenter | Qt::AlignTop,
                    linha1);
        p->drawText(QRect(r.left(), r.top() + 3 * g + h, r.width(), h),
                    Qt::AlignHCenter | Qt::AlignTop, linha2);
    }
    p->restore();
}

QSize TDelegateLista::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!m_icone) return QStyledItemDelegate::sizeHint(option, index);
    return m_tile;
}

QString TDelegateLista::TextoCortado(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= m_modelo->Linhas()) return {};
    const TLinhaTabela& l = m_modelo->Linha(index.row());
    if (!m_icone) {
        const QString texto = index.data(Qt::DisplayRole).toString();
        const QFontMetrics fm(FonteDaLinha(option, l.Negrito));
        return fm.horizontalAdvance(texto) > AreaTexto(option.rect).width() ? texto : QString();
    }
    const QFontMetrics fm(FonteDaLinha(option, true));
    const int largura = option.rect.width() - 6;
    const bool duas = !l.Linha2.isEmpty() && m_nivelIcone != 0;
    const bool cortada = CortaLinha(l.Linha1, fm, largura, 1) != l.Linha1 ||
                         (duas && CortaLinha(l.Linha2, fm, largura, 2) != l.Linha2) ||
                         (!duas && !l.Linha2.isEmpty());
    if (!cortada) return {};
    return l.Linha2.isEmpty() ? l.Linha1 : l.Linha1 + u'\n' + l.Linha2;
}

bool TDelegateLista::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString texto = TextoCortado(option, index);
    if (texto.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return false;
    }
    QToolTip::showText(event->globalPos(), texto, view->viewport(), option.rect);
    return true;
}
