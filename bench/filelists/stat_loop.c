/* Anchor for the verification benchmark: stats every path named in a file,
   one per line, as a shell loop written in C would. */
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: filelists_stat_loop PATHS_FILE\n");
        return 2;
    }
    FILE *in = fopen(argv[1], "r");
    if (!in)
        return 1;
    char line[8192];
    long found = 0, missing = 0;
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\r\n")] = '\0';
        struct stat st;
        if (stat(line, &st) == 0)
            ++found;
        else
            ++missing;
    }
    fclose(in);
    printf("found %ld missing %ld\n", found, missing);
    return 0;
}
