// The five figures in figure order. A new figure is added here, and so
// reaches the renderer, the invariant tests, the gallery and the benchmark.
#include "figures/figures.h"

const FigureRoutine figureRoutines[figureCount] = {
    {1, "Wobblo", DrawWobblo}, {2, "Muffix", DrawMuffix}, {3, "Tavik", DrawTavik},
    {4, "Bexlo", DrawBexlo},   {5, "Nibbo", DrawNibbo},
};
