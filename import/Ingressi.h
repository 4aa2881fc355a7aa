#pragma once

class ctlVevAre;

// Whether the loaded definition and its data file give anything to import: an amount
// column, and a line after the leading ones. Otherwise says why in a box. Checked by the
// import commands before any transaction opens: without an amount every value would be
// posted as 0 and pass the balance check, and an empty file would commit an empty period.
bool IngressiImportabili(ctlVevAre& screen);
