#!/usr/bin/python3
# Usage: scripts/a11y-dump.py [APP_NAME] — prints the accessible tree's tables, rows, cells and
# tiles of a running monitor (AT-SPI), and the trunk strips with each line's cell.
import sys
import time

import pyatspi

NOME = sys.argv[1] if len(sys.argv) > 1 else "monitorvesmara"
TABELAS = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST}
CELULAS = {pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE_ITEM}


def aplicacao():
    nomes = []
    for _ in range(60):
        desktop = pyatspi.Registry.getDesktop(0)
        nomes = [app.name for app in desktop if app is not None]
        for app in desktop:
            if app is not None and NOME.lower() in (app.name or "").lower().replace(" ", ""):
                return app
        time.sleep(0.5)
    sys.exit(f"a11y-dump: no application named {NOME} on the accessibility bus (found: {nomes})")


def tabelas(no, achadas, faixas=None):
    try:
        papel = no.getRole()
    except Exception:
        return
    # A trunk strip: a row of line cells outside any table, inside its panel.
    if papel == pyatspi.ROLE_TABLE_ROW and faixas is not None:
        if no.getState().contains(pyatspi.STATE_SHOWING):
            faixas.append(no)
        return
    if papel in TABELAS:
        # The view of the other mode stays in the tree, hidden.
        if no.getState().contains(pyatspi.STATE_SHOWING):
            achadas.append(no)
        return
    for filho in no:
        if filho is not None:
            tabelas(filho, achadas, faixas)


def descritos(no, achados):
    """Painted widgets that tell what they show in their description (the queue panel, charts)."""
    try:
        papel = no.getRole()
        estado = no.getState()
    except Exception:
        return
    if papel in TABELAS or papel in CELULAS:
        return
    if (no.description or "") and estado.contains(pyatspi.STATE_SHOWING):
        achados.append(no)
    for filho in no:
        if filho is not None:
            descritos(filho, achados)


def main():
    total_linhas = total_celulas = total_tiles = 0
    app = aplicacao()
    achados = []
    descritos(app, achados)
    for no in achados:
        print(f"== {no.getRoleName()} '{no.name}'")
        for parte in no.description.split("; "):
            print(f"   {parte}")
    for t in tabelas_de(app):
        papel = t.getRoleName()
        try:
            tabela = t.queryTable()
            linhas, colunas = tabela.nRows, tabela.nColumns
        except NotImplementedError:
            tabela, linhas, colunas = None, t.childCount, 1
        # A list in icon mode is the tile view: one cell per tile.
        tiles = papel == "list"
        print(f"== {papel} '{t.name}': {linhas} rows x {colunas} columns")
        if tabela is not None and not tiles:
            cabecalho = []
            for c in range(colunas):
                h = tabela.getColumnHeader(c)
                cabecalho.append(h.name if h is not None else "")
            print("   header: " + " | ".join(cabecalho))
        vazias = 0
        for r in range(linhas):
            textos = []
            descricao = ""
            for c in range(colunas):
                celula = tabela.getAccessibleAt(r, c) if tabela is not None else t.getChildAtIndex(r)
                if celula is None or celula.getRole() not in CELULAS:
                    continue
                textos.append(celula.name or "")
                descricao = descricao or (celula.description or "")
                if tiles:
                    total_tiles += 1
                else:
                    total_celulas += 1
            if not any(textos) or (tiles and any(x in ("", "...") for x in textos)):
                vazias += 1
            total_linhas += 1
            print(f"   {r:3}: " + " | ".join(textos) + (f"   [{descricao}]" if descricao else ""))
        if vazias:
            print(f"   !! {vazias} rows or tiles without text")
    total_faixas = total_canais = 0
    for f in faixas_de(aplicacao()):
        painel = f.parent
        nome = painel.name if painel is not None else ""
        ocupacao = painel.description if painel is not None else ""
        print(f"== strip of '{nome}': {f.childCount} lines   [{ocupacao}]")
        for i in range(f.childCount):
            canal = f.getChildAtIndex(i)
            if canal is None:
                continue
            total_canais += 1
            print(f"   {canal.name}: {canal.description}")
        total_faixas += 1
    print(f"rows {total_linhas}, cells {total_celulas}, tiles {total_tiles}")
    if total_faixas:
        print(f"strips {total_faixas}, lines {total_canais}")


def faixas_de(app):
    achadas, faixas = [], []
    tabelas(app, achadas, faixas)
    return faixas


def tabelas_de(app):
    achadas = []
    tabelas(app, achadas)
    return achadas


if __name__ == "__main__":
    main()
