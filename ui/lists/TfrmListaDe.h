#pragma once

#include "ui/lists/TModeloLista.h"
#include "ui/lists/TVistaLista.h"
#include "ui/lists/TfrmLista.h"

// A list window over objects of type T: the window gives its columns per mode and its
// comparison; the typed rows, widths and sorting come from here.
template <class T> class TfrmListaDe : public TfrmLista {
public:
    TfrmListaDe(TMonitor* monitor, int alturaPadrao, int larguraPadrao, int maiorOrdem,
                QWidget* parent = nullptr)
        : TfrmListaDe(new TModeloLista<T>, monitor, alturaPadrao, larguraPadrao, maiorOrdem,
                      parent) {}

    TModeloLista<T>* Modelo() const { return m_modelo; }
    T* ObjetoDaLinha(int row) const { return m_modelo->Objeto(row); }
    T* ObjetoSelecionado() const { return m_modelo->Objeto(m_vista->LinhaAtual()); }
    void Seleciona(const T* objeto) { m_vista->SelecionaLinha(m_modelo->LinhaDe(objeto)); }

protected:
    virtual std::vector<TColunaLista<T>> Colunas(int modo) const = 0;
    // < 0 when a comes first.
    virtual int Compara(const T& a, const T& b) const = 0;
    // A tile's line for one of the window's choices (EscolhasTile), and the state it shows.
    virtual QString TextoLinhaTile(const T&, int) const { return {}; }
    virtual QString EstadoTile(const T&) const { return {}; }
    // The row's colours and what they say.
    virtual void Pinta(int) {}

    void AtualizaTile(int row) {
        const T* objeto = ObjetoDaLinha(row);
        if (!objeto) return;
        m_modelo->DefineLinhasTile(row, TextoLinhaTile(*objeto, m_linha1),
                                   TextoLinhaTile(*objeto, m_linha2), EstadoTile(*objeto));
        Pinta(row);
    }

    std::vector<TLarguraColuna> LargurasDoModo(int modo) const override {
        std::vector<TLarguraColuna> larguras;
        for (const TColunaLista<T>& c : Colunas(modo))
            larguras.push_back({c.Largura, QStringList{c.Titulo} + c.Amostras, c.Fixa});
        return larguras;
    }
    void MontaColunas() override { m_modelo->DefineColunas(Colunas(m_modo)); }
    void OrdenaLinhas() override {
        m_modelo->Ordena([this](const T& a, const T& b) { return Compara(a, b) < 0; });
    }

    TModeloLista<T>* m_modelo;

private:
    TfrmListaDe(TModeloLista<T>* modelo, TMonitor* monitor, int alturaPadrao, int larguraPadrao,
                int maiorOrdem, QWidget* parent)
        : TfrmLista(monitor, modelo, alturaPadrao, larguraPadrao, maiorOrdem, parent),
          m_modelo(modelo) {
        m_modelo->setParent(this);
    }
};
