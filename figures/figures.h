// The five figure routines and what they share. Each takes no argument,
// advances its figure's state and draws it at the current model-view matrix.
// When GLU cannot allocate a quadric it still advances the state but draws
// nothing, leaving the matrix stack as it found it.
#pragma once

// The figures' numbers: SceneState's figure, the index of each figure's spin
// angles and the order of figureRoutines all go by them.
enum {
    FIGURE_WOBBLO = 1,
    FIGURE_MUFFIX = 2,
    FIGURE_TAVIK = 3,
    FIGURE_BEXLO = 4,
    FIGURE_NIBBO = 5,
};

void DrawWobblo();
void DrawMuffix();
void DrawTavik();
void DrawBexlo();
void DrawNibbo();

// The five in figure order, the one list that the renderer, the tests, the
// gallery and the benchmark all go by.
struct FigureRoutine {
    int number;
    const char* name;
    void (*draw)();
};
enum { figureCount = 5 };
extern const FigureRoutine figureRoutines[figureCount];
