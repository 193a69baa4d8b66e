#include <stdio.h>
int main(void)
{
    EXEC SQL BEGIN DECLARE SECTION;
    int id; char name[21];
    EXEC SQL END DECLARE SECTION;
    EXEC SQL declare c cursor for select id, name from staff where dept = 10 order by name;
    EXEC SQL open c;
    return 0;
}
