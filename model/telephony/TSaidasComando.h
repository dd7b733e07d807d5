#pragma once

// Readers of the console command outputs the load sequence asks for ("sip show peers",
// "khomp channels show", "dahdi show channels"). Each reads one output line at a time and
// says what it carries; the extension and trunk lists decide what it changes. Columns are
// counted from 1, as the console prints them.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The console lines of a command answer, from the packet's lines (split at CR LF, the closing
// empty line last). Servers write the output in one of three forms: after "Response: Follows"
// the raw console text, its lines ended by a lone LF (or by CR LF), then "--END COMMAND--"
// (glued to the last line when that one has no LF); or, after "Response: Success", one
// "Output: " line per console line. The header lines (Response, Privilege, ActionID, Message)
// are left out and the text of every console line is kept as printed, leading blanks included,
// so the column rules hold. The views point into the packet's text.
std::vector<QStringView> LinhasDaSaida(const std::vector<QStringView>& linhasPacote);

// One peer line of "sip show peers".
struct TLinhaSipPeers {
    QString Nome; // the name column, cut before its first "/"
    bool StatusOk = false;
    // The state a trunk peer takes from the line: "Reachable", "Unreachable" or empty.
    QString StatusPeer;
    // The host column reads something other than "(Unspecified)".
    bool TemEndereco = false;
    QString Endereco;
};

class TLeitorSipPeers {
public:
    // True for a peer line. Nothing before the "Name/username" header is read; the header
    // fixes the host and status columns; lines not longer than the status column are skipped.
    bool Le(QStringView linha, TLinhaSipPeers& saida);

private:
    qsizetype m_colunaStatus = 95;
    qsizetype m_colunaHost = 27;
    bool m_cabecalho = false;
};

// One "<K>" line of "khomp channels show", split at "|".
struct TLinhaKhomp {
    QStringList Campos;
    // "Khomp/B" + board + "C" + line, or empty when the line names no Khomp line.
    QString Dispositivo;
};
TLinhaKhomp LeLinhaKhomp(QStringView linha);

class TLeitorDahdi {
public:
    // True for a line of a DAHDI channel, with its number (> 0) and its state text. The lines
    // up to the "pseudo" channel are headers; the first "COMMAND" line after it ends the output.
    bool Le(QStringView linha, int& numero, QString& estado);

private:
    bool m_pseudo = false;
    bool m_fim = false;
};
