// A user vertex program: helper function, out parameters, a struct cast.
float4x4 Proj;
float4 Offsets[4];

struct VO
{
    float4 pos : POSITION;
    float4 col : COLOR0;
};

float4 Place(float3 p, float i)
{
    return mul(float4(p, 1), Proj) + Offsets[i];
}

void vertex_shader(float3 p : POSITION, float4 c : COLOR0, out VO o, out float2 t : TEXCOORD0)
{
    o = (VO)0;
    o.pos = Place(p, c.a * 3);
    o.col = saturate(c * 2 - 0.5);
    t = p.xy;
}
