#pragma once
#include <QString>
#include <QVector>

struct TranslationRow {
    QString italian;
    QString english;
};

const QVector<TranslationRow> &messageTable(); // 40 rows, translateMessage
const QVector<TranslationRow> &captionTable(); // 94 rows, SostituisciCaptionEng
const QVector<TranslationRow> &buttonTable();  // 24 rows, doEnglish on buttons
