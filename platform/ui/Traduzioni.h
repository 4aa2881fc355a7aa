#pragma once

// Qt's own texts (file dialog, print preview, page set-up, standard buttons, context
// menus) in Italian: the translations of Qt's base module, loaded once for the whole
// application. False when they are not installed; the texts stay English then.
bool installaTraduzioniQt();
