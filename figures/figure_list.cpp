// The five figures in figure order. A new figure is added here, and so
// reaches the renderer, the invariant tests, the gallery and the benchmark.
#include "figures/figures.h"

const FigureRoutine figureRoutines[figureCount] = {
    {FIGURE_WOBBLO, "Wobblo", DrawWobblo}, {FIGURE_MUFFIX, "Muffix", DrawMuffix},
    {FIGURE_TAVIK, "Tavik", DrawTavik},    {FIGURE_BEXLO, "Bexlo", DrawBexlo},
    {FIGURE_NIBBO, "Nibbo", DrawNibbo},
};
