// The five figure routines and what they share. Each takes no argument,
// advances its figure's state and draws it at the current model-view matrix.
// When GLU cannot allocate a quadric it still advances the state but draws
// nothing, leaving the matrix stack as it found it.
#pragma once

void DrawWobblo();  // figure 1
void DrawMuffix();  // figure 2
void DrawTavik();   // figure 3
void DrawBexlo();   // figure 4
void DrawNibbo();   // figure 5

// The five in figure order, the one list that the renderer, the tests, the
// gallery and the benchmark all go by.
struct FigureRoutine {
    int number;
    const char* name;
    void (*draw)();
};
enum { figureCount = 5 };
extern const FigureRoutine figureRoutines[figureCount];
