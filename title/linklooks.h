// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LINKLOOKS_H
#define LINKLOOKS_H

#include <QColor>

// The three looks of the title screen's two link labels.
namespace LinkLooks {

struct Look
{
    bool underline;
    QColor foreColor;
};

// As the window opens, until the first reset: a paler yellow that never
// comes back once the links have been reset.
Look designed();
// After a reset.
Look normal();
// While the mouse was last over the link.
Look highlighted();

} // namespace LinkLooks

#endif
