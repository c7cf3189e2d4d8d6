/* The baseline of the start-up and idle benchmarks: a bare GLFW program that
   opens the window grimalou opens (800 x 500, "Grimalou", the same hints,
   centred, shown after placing, swap interval 1) and clears it.

     bare_window once   clears once, presents, then only waits for events
     bare_window loop   clears and presents 60 times a second, as a game loop

   It runs until its window is closed or it is killed. */
#define _POSIX_C_SOURCE 199309L
#include <GLFW/glfw3.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

/* One update period at 60 Hz, seconds. */
#define PERIOD (1.0 / 60.0)

static void clear_and_present(GLFWwindow* window) {
    /* A colour neither black nor white, so a watcher knows the frame came. */
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(window);
}

int main(int argc, char** argv) {
    int loop = argc > 1 && strcmp(argv[1], "loop") == 0;
    if (!glfwInit()) {
        puts("glfwInit failed");
        return 1;
    }
    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_DEPTH_BITS, 32);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    glfwWindowHint(GLFW_DECORATED, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
    GLFWwindow* window = glfwCreateWindow(800, 500, "Grimalou", NULL, NULL);
    if (!window) {
        puts("glfwCreateWindow failed");
        return 1;
    }
    const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
    if (mode) glfwSetWindowPos(window, (mode->width - 800) / 2, (mode->height - 500) / 2);
    glfwShowWindow(window);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    clear_and_present(window);
    if (!loop) {
        while (!glfwWindowShouldClose(window)) glfwWaitEvents();
    } else {
        double next = glfwGetTime();
        while (!glfwWindowShouldClose(window)) {
            clear_and_present(window);
            next += PERIOD;
            double delay = next - glfwGetTime();
            /* Sleep, then take the events: the order of grimalou's loop. */
            if (delay > 0) {
                struct timespec pause = {0, (long)(delay * 1e9)};
                nanosleep(&pause, NULL);
            }
            glfwPollEvents();
        }
    }
    glfwTerminate();
    return 0;
}
