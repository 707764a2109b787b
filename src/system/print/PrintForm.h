#pragma once

class QWidget;
namespace Printing {
class Printer;
}

// Prints an editor window as an image of its fields and ends the document: the heading "Company", then every
// text box, combo box and check box at its place on the window scaled to the printable area, each with its label
// ending 200 twips left of it. The label of txtName is the label named lblName; a check box is labelled by its own
// caption, and an "X" marks it when it is checked. Long values wrap within the page, keeping 800 twips free on the
// right, and go on to the next page at its foot, the rows below them following: nothing is left out.
void PrintRecordForm(Printing::Printer& printer, const QWidget& form);
