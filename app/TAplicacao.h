#pragma once

class QApplication;

// What the program sets on the application before its first window: its name (without Qt
// adding it to every title a second time), its icon, and Qt's own texts in Portuguese.
// Returns false when Qt's Portuguese translation could not be loaded (the program still runs,
// with Qt's dialogs in English).
bool PreparaAplicacao(QApplication& app);
