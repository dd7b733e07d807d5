#pragma once

#include <QString>

#include <vector>

// One slice of a pie chart: what the caller gives (name, value, colour, click key) and what the
// preparation computes (angle, percentage).
struct TFatia {
    QString Nome;
    qint64 Valor = 0;
    // 0x00BBGGRR; below 1: the default colour of the slice's position.
    int Cor = 0;
    // Empty: the slice cannot be clicked.
    QString Chave;
    int Angulo = 0;
    int Percentual = 0;
};

// The pie chart's arithmetic, apart from any painting. With more slices than the limit (at
// most 10), the slices are ordered by value (largest first, equal values keeping their order)
// and those from the limit's position on fold into one remainder slice with the given name and
// no key. Angles and percentages are whole numbers proportional to the values, and with a
// positive total they add up to exactly 360 and 100: the units the truncation lost go to the
// slices with the largest lost fractions (the earlier one on a tie), so six equal slices read
// 17, 17, 17, 17, 16, 16 rather than six times 17 (102 %). With a zero total every angle and
// percentage is 0. Negative values count as 0.
std::vector<TFatia> PreparaFatias(std::vector<TFatia> fatias, int limite,
                                  const QString& rotuloOutros);

// The default colour of a slice position (0x00BBGGRR).
int CorPadraoFatia(int posicao);
// The colour a slice is painted with.
int CorDaFatia(const TFatia& fatia, int posicao);
