/* A user pixel program: sampler2D, lerp, swizzle writes, a truncation warning. */
sampler2D Image;
float Amount;

struct PI
{
    float4 position : POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD0;
};

float4 pixel_shader(PI i) : COLOR
{
    float4 s = tex2D(Image, i.uv);
    float3 gray = dot(s.rgb, float3(0.299, 0.587, 0.114));
    float2 warn = s;
    s.rgb = lerp(s.rgb, gray, Amount) * i.color.rgb;
    return s * float4(1, 1, 1, warn.x);
}
