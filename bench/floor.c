/* The floor for one run of array-sort: a static C program that reads the same
   count and numbers with scanf and writes them back with printf, and does
   nothing else. */
#include <stdio.h>

int main(void)
{
    int count = 0;
    int numbers[100];
    if (scanf("%d", &count) != 1 || count > 100) {
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        if (scanf("%d", &numbers[i]) != 1) {
            return 1;
        }
    }
    for (int i = 0; i < count; ++i) {
        printf("\t%d", numbers[i]);
    }
    printf("\n");
    return 0;
}
